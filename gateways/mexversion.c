/*
 * mexVersion: the host release a gateway library was built for.  The host
 * reads it to decide how to call the library.  The text is fixed per build
 * (GATEBOX_MEX_VERSION, set by the build for each gateway).
 */
#if defined(_WIN32)
#define GATEBOX_EXPORT __declspec(dllexport)
#else
#define GATEBOX_EXPORT __attribute__((visibility("default")))
#endif

/* A build that cannot pass a quoted text with blanks (the host's mex
 * command) selects the by-reference text with GATEBOX_MEX_VERSION_MATLAB5
 * and the older host release's text with GATEBOX_MEX_VERSION_R12. */
#if !defined(GATEBOX_MEX_VERSION) && defined(GATEBOX_MEX_VERSION_MATLAB5)
#define GATEBOX_MEX_VERSION "MATLAB 5 compatible"
#endif
#if !defined(GATEBOX_MEX_VERSION) && defined(GATEBOX_MEX_VERSION_R12)
#define GATEBOX_MEX_VERSION "MATLAB R12 native"
#endif
#ifndef GATEBOX_MEX_VERSION
#define GATEBOX_MEX_VERSION "MATLAB R13 native"
#endif

GATEBOX_EXPORT const char *mexVersion(void);

const char *mexVersion(void) { return GATEBOX_MEX_VERSION; }
