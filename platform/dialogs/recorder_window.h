// The voice recorder: a small modal window with record, stop and play
// buttons and the length of the note, over a recording the caller keeps
// (media/recorder). The window only turns the user's presses into the
// actions and shows their state.
#pragma once

#include "platform/window/form_window.h"

#include <cstdint>

namespace vellum::platform {

struct RecorderOptions {
    // Client pixels of the form window; -1 lets the recorder choose.
    int32_t x = -1;
    int32_t y = -1;
    bool record = true;   // false: only playing, no record button
    bool move = true;     // false: a window without a frame to drag it by
    bool playNow = false; // play the file as soon as the window opens
};

class RecorderActions {
public:
    struct Status {
        bool recording = false;
        bool playing = false;
        double seconds = 0; // recorded, or played of what plays
    };
    // Whether there is a sound to record from (a microphone).
    virtual bool CanRecord() = 0;
    virtual bool Record() = 0;
    virtual void Stop() = 0;
    virtual bool Play() = 0;
    // Called often while the window is open: the recording takes in what
    // was captured meanwhile.
    virtual Status Poll() = 0;

protected:
    ~RecorderActions() = default;
};

// Shows the recorder, owned by the form window, until the user closes it
// (a recording is stopped then). Without a microphone the recorder says so
// and records nothing. False when it cannot be shown (in console mode,
// without a screen, or without the window) and when it was to record and
// had no microphone.
bool RunVoiceRecorder(const FormWindow& owner, const RecorderOptions& options, RecorderActions& actions);

} // namespace vellum::platform
