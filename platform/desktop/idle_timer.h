// The desktop's idle timer, which blanks the screen and locks the session.
#pragma once

namespace vellum::platform {

// Counts as user activity for the screen saver, postponing blanking and
// locking; does nothing when the desktop offers no screen saver service.
// Never waits for an answer.
void ResetIdleTimer();

} // namespace vellum::platform
