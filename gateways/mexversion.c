/*
 * mexVersion: the host release a gateway library was built for.  The host
 * reads it to decide how to call the library.  The text is fixed per build:
 * GATEBOX_MEX_VERSION, one of the `version` texts of gatebox.build, is
 * defined by the build for each gateway (build_gatebox, which cannot pass a
 * quoted text with blanks through the host's mex command, compiles a small
 * file that defines it and includes this one).
 */
#if defined(_WIN32)
#define GATEBOX_EXPORT __declspec(dllexport)
#else
#define GATEBOX_EXPORT __attribute__((visibility("default")))
#endif

#ifndef GATEBOX_MEX_VERSION
#error "GATEBOX_MEX_VERSION is defined by the build (gatebox.build, version)"
#endif

GATEBOX_EXPORT const char *mexVersion(void);

const char *mexVersion(void) { return GATEBOX_MEX_VERSION; }
