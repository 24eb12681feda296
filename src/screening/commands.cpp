#include "screening/commands.h"

#include "screening/observation_command.h"
#include "views/state.h"

void InstallScreeningCommands() {
    SelectionRoutines& routines = Selection().Routines;
    routines.RunObservation = [] { RunObservation(); };
}
