#pragma once

namespace vidlatch::platform {

// Why a movie cannot be played, as the preview tells the user.
enum class MovieProblem {
    None, Unreachable, HttpError, Empty, NotFlash, Truncated, TooLarge, Unplayable,
    TimedOut,  // the site stopped sending it
    Refused,   // the site sent the fetch where it may not go
    TooSlow,   // the site sends it, but too slowly to wait for
    DidNotStart,  // handed to the player, it showed no frame in time
    PlayerError,  // the player broke down while playing it
};

} // namespace vidlatch::platform
