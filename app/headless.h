#pragma once

struct Environment;

// Background mode with no window: reads ini.cfg, opens the configured port and runs
// the background cycle and web synchronisation until SIGTERM or SIGINT. Returns the
// process's exit code.
int runHeadless(const Environment &env);
