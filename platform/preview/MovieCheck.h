#pragma once

#include "MovieProblem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vidlatch::platform {

// Movies larger than this are not previewed: far above any real player, and
// a bound on what one fetch can make the preview hold.
inline constexpr qsizetype MaxMovieBytes = qsizetype{64} << 20;

struct MovieVerdict {
    MovieProblem problem = MovieProblem::None;
    // One frame, no scripts, nothing that moves or answers the mouse: the
    // first frame is all the movie will ever show.
    bool still = false;
};

// Checks a whole movie body: a Flash movie's signature, its declared length
// against what arrived (inflating a zlib-compressed one), and whether it is still.
[[nodiscard]] MovieVerdict CheckMovie(QByteArrayView body);

// The plain sentence the preview shows for `problem`; `httpStatus` for HttpError.
[[nodiscard]] QString MovieProblemText(MovieProblem problem, int httpStatus = 0);

} // namespace vidlatch::platform
