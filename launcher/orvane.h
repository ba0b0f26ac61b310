// The orvane component's interface to other code: its record and the
// functions that start and end its runtime instance.
#ifndef GATEBOX_ORVANE_H
#define GATEBOX_ORVANE_H

#include "mclrt.h"

extern mclComponentData __MCC_orvane_component_data;

// Starts the component instance with the given handlers; true once it runs
// (a second call changes nothing and returns true).
bool orvaneInitializeWithHandlers(mclOutputHandlerFcn error_handler,
                                  mclOutputHandlerFcn print_handler);

// As orvaneInitializeWithHandlers with the default handlers (standard error
// and standard output).
bool orvaneInitialize(void);

// Ends the running instance, if there is one.
void orvaneTerminate(void);

#endif
