/* The compiler runtime's interface as the launcher uses it: start the
 * runtime, describe a component with its record, run the component's main
 * function, wait for its figures, and shut everything down.
 *
 * The library behind this header embeds GNU Octave as the engine that runs
 * the application's code (see mclrt.cpp).  Output of the application reaches
 * the caller only through the two handlers given with the component.
 */
#ifndef GATEBOX_MCLRT_H
#define GATEBOX_MCLRT_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#else
#include <stdbool.h>
#endif

#if defined(MCLRT_BUILDING) && defined(__GNUC__)
#define MCLRT_API __attribute__((visibility("default")))
#else
#define MCLRT_API
#endif

/* A handler takes a NUL-terminated text and returns the bytes it wrote. */
typedef int (*mclOutputHandlerFcn)(const char *text);

/* The function the runtime runs for mclRunMain. */
typedef int (*mclMainFcn)(int argc, const char **argv);

/* A running component instance. */
typedef struct mclInstance *HMCRINSTANCE;

/* The component record: eighteen pointer-sized slots in this order (each
 * count sits in a slot of its own after its list).  Every list holds at
 * least one entry, even when its count is 0. */
typedef struct mclComponentData {
  const char *public_key;       /* hex text of the application's RSA public key */
  const char *name;             /* component name = name of its main function */
  const char *root;             /* component root folder ("" for none) */
  const char *session_key;      /* hex text of the session key */
  const char **path;            /* search path entries, each ending in '/' */
  int path_count;
  const char **class_path;      /* Java class path entries */
  int class_path_count;
  const char **lib_path;        /* native library folders */
  int lib_path_count;
  const char **app_options;     /* options of the application */
  int app_option_count;
  const char **run_options;     /* options for mclInitializeApplication */
  int run_option_count;
  const char *identifier;       /* "<name>_" and 32 upper-case hex digits */
  const char **warning_state;   /* warning settings */
  int warning_state_count;
  const char *component_path;   /* folder of the program, set at start-up */
} mclComponentData;

/* Prepares the runtime for the process.  Once per process: false when it was
 * already called, or when an option is not understood. */
MCLRT_API bool mclInitializeApplication(const char **options, size_t count);

/* Calls run_main(argc, argv) and returns its status. */
MCLRT_API int mclRunMain(mclMainFcn run_main, int argc, const char **argv);

/* Leaves the folder of the program named by path (a path with a slash, or a
 * name found on PATH) in buffer as an absolute, NUL-terminated text.  False,
 * with the buffer holding "", when the folder does not fit in size bytes. */
MCLRT_API bool separatePathName(const char *path, char *buffer, size_t size);

/* Starts the engine; true when component instances can be created. */
MCLRT_API bool mclmcrInitialize(void);

/* Creates a running instance of an application component in *inst: sets its
 * search path and routes its output to the handlers.  is_application must be
 * true and flags and reserved 0 (the only kind of component supported). */
MCLRT_API bool mclInitializeComponentInstance(HMCRINSTANCE *inst, mclComponentData *data,
                                              bool is_application, int flags, int reserved,
                                              mclOutputHandlerFcn error_handler,
                                              mclOutputHandlerFcn print_handler);

/* Runs function `name` of the instance with argv[1..argc-1] as text
 * arguments and nargout outputs.  Returns 0 when it completes, the status it
 * gives to exit(), or 1 when it raises an error (reported through the error
 * handler). */
MCLRT_API int mclMain(HMCRINSTANCE inst, int argc, const char **argv, const char *name,
                      int nargout);

/* Returns once no figure window is open (at once when none can be shown). */
MCLRT_API void mclWaitForFiguresToDie(HMCRINSTANCE inst);

/* Ends the instance and sets *inst to null. */
MCLRT_API void mclTerminateInstance(HMCRINSTANCE *inst);

/* Shuts the engine down; the runtime cannot be started again afterwards. */
MCLRT_API bool mclTerminateApplication(void);

#ifdef __cplusplus
}
#endif

#endif
