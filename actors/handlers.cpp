#include "actors/families.h"

void InstallActorHandlers() {
  InstallInteractiveHandlers();
  InstallMechanicsHandlers();
}
