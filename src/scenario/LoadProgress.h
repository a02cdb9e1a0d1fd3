#pragma once

namespace tarnwake::scenario {

// The loading bar. A scenario reports how many ships it expects, then one step per ship
// created; the desktop program shows a progress dialog, the headless runner a line on a
// terminal. Every method may be left as it is.
class ILoadProgress {
public:
    virtual ~ILoadProgress() = default;
    virtual void Show(int maximum) { (void)maximum; }
    virtual void Step() {}
    virtual void Hide() {}
};

} // namespace tarnwake::scenario
