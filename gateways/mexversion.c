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

#ifndef GATEBOX_MEX_VERSION
#if defined(GATEBOX_MEX_R12)
#define GATEBOX_MEX_VERSION "MATLAB R12 native" /* for builds whose tools cannot pass the text */
#else
#define GATEBOX_MEX_VERSION "MATLAB R13 native"
#endif
#endif

GATEBOX_EXPORT const char *mexVersion(void);

const char *mexVersion(void) { return GATEBOX_MEX_VERSION; }
