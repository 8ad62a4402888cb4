// Program-wide settings and their built-in defaults.
#include "shell/settings.h"

TOptions& StartUpOptions() {
  static TOptions options;
  return options;
}

const TOptions& Options() { return StartUpOptions(); }

TPlaySettings& PlaySettings() {
  static TPlaySettings settings;
  return settings;
}

void ResetSettings() {
  StartUpOptions() = TOptions{};
  PlaySettings() = TPlaySettings{};
}
