// The orvane component record: what the runtime needs to know to run the
// application (its name, keys, search path and option lists).
//
// Search path entries are relative: to the component's own folders, to the
// engine's toolbox root ($TOOLBOXMATLABDIR), or to the file system root for
// the folders of this build (the application's source folder, the project's
// source folders and, last, the toolbox's functions as built for Octave).
// The help-text folder is left out on purpose: its help-only <name>.m files
// would shadow the compiled functions of the same name.  The build sets
// ORVANE_SOURCE_DIR and ORVANE_TOOLBOX_DIR to those folders without their
// leading slash.  Every list whose count is 0 still holds one empty entry.
#include "orvane.h"

#ifndef ORVANE_SOURCE_DIR
#error "ORVANE_SOURCE_DIR (the source tree, without its leading slash) is not set"
#endif
#ifndef ORVANE_TOOLBOX_DIR
#error "ORVANE_TOOLBOX_DIR (the built toolbox folder, without its leading slash) is not set"
#endif

// DER-encoded SubjectPublicKeyInfo of this build's 1024-bit RSA key
// (rsaEncryption, public exponent 3): 160 bytes.
const char __MCC_orvane_public_key[] =
    "30819D300D06092A864886F70D010101050003818B0030818702818100DB7AF8"
    "A3EFEBE3EFC3268CC5151DDF9348EFBADE8E1928086B21B251253386FA7DB6AF"
    "8DC00F6D6E717199C451E0E8507A7E0DE9BD8C0F83881A58815F1BBC690E8C2B"
    "B0F60F3D937A2354CD5C2C1CFC347201E6D9C76BC2D542876E1347D6BE54772E"
    "4AFA43A888917CA738016D74ADE42EF1BB92A80A34DD69C972B0CC6F9F020103";

// This build's session key: 128 bytes.
const char __MCC_orvane_session_key[] =
    "FDAD4B07416B1554BB783D7E05A88E9C1BE04958A3C70954FD22EC7017337ECB"
    "8715195C3E53CB731A0ED3A9A61B5A07D0A3405AE23767576B978BBF3A1E05E0"
    "F32F93D7D095272DF3D121D1185A730DD2E3CD2B5CAA61B3A8D206DE855329E6"
    "3E53F8484B8BD438DD8FB22E92D1DFE159C83358E151169F9F50810413A24389";

static const char *MCC_orvane_matlabpath_data[] = {
    "orvane/",
    "toolbox/compiler/deploy/",
    ORVANE_SOURCE_DIR "launcher/app/",
    "$TOOLBOXMATLABDIR/general/",
    "$TOOLBOXMATLABDIR/ops/",
    "$TOOLBOXMATLABDIR/lang/",
    "$TOOLBOXMATLABDIR/elmat/",
    "$TOOLBOXMATLABDIR/elfun/",
    "$TOOLBOXMATLABDIR/specfun/",
    "$TOOLBOXMATLABDIR/matfun/",
    "$TOOLBOXMATLABDIR/datafun/",
    "$TOOLBOXMATLABDIR/polyfun/",
    "$TOOLBOXMATLABDIR/funfun/",
    "$TOOLBOXMATLABDIR/sparfun/",
    "$TOOLBOXMATLABDIR/scribe/",
    "$TOOLBOXMATLABDIR/graph2d/",
    "$TOOLBOXMATLABDIR/graph3d/",
    "$TOOLBOXMATLABDIR/specgraph/",
    "$TOOLBOXMATLABDIR/graphics/",
    "$TOOLBOXMATLABDIR/uitools/",
    "$TOOLBOXMATLABDIR/strfun/",
    "$TOOLBOXMATLABDIR/imagesci/",
    "$TOOLBOXMATLABDIR/iofun/",
    "$TOOLBOXMATLABDIR/audiovideo/",
    "$TOOLBOXMATLABDIR/timefun/",
    "$TOOLBOXMATLABDIR/datatypes/",
    "$TOOLBOXMATLABDIR/verctrl/",
    "$TOOLBOXMATLABDIR/codetools/",
    "$TOOLBOXMATLABDIR/helptools/",
    "$TOOLBOXMATLABDIR/demos/",
    "$TOOLBOXMATLABDIR/timeseries/",
    "$TOOLBOXMATLABDIR/hds/",
    "toolbox/local/",
    "toolbox/compiler/",
    "toolbox/database/database/",
    "toolbox/optim/",
    ORVANE_SOURCE_DIR,
    ORVANE_SOURCE_DIR "launcher/",
    ORVANE_SOURCE_DIR "launcher/app/",
    ORVANE_SOURCE_DIR "bench/octave/",
    ORVANE_TOOLBOX_DIR,
};

static const char *MCC_orvane_classpath_data[] = {"java/jar/toolbox/database.jar"};
static const char *MCC_orvane_libpath_data[] = {""};
static const char *MCC_orvane_app_opts_data[] = {""};
static const char *MCC_orvane_run_opts_data[] = {""};
static const char *MCC_orvane_warning_state_data[] = {""};

mclComponentData __MCC_orvane_component_data = {
    __MCC_orvane_public_key,
    "orvane",
    "",
    __MCC_orvane_session_key,
    MCC_orvane_matlabpath_data,
    41,
    MCC_orvane_classpath_data,
    1,
    MCC_orvane_libpath_data,
    0,
    MCC_orvane_app_opts_data,
    0,
    MCC_orvane_run_opts_data,
    0,
    "orvane_893FB3D44A2EE8825D991155B2C52A16",
    MCC_orvane_warning_state_data,
    0,
    nullptr,
};
