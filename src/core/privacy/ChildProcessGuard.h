#pragma once

class QProcess;

namespace murmela::ChildProcessGuard {

// Makes the child that `process` starts next die with the application: on
// Linux it gets SIGKILL when the thread that started it ends (which at the
// latest is when the application quits), so no unpack or Python outlives us.
// Elsewhere this does nothing; there the owners kill their children.
void killWithParent(QProcess& process);

}  // namespace murmela::ChildProcessGuard
