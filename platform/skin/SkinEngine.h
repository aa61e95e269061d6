#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace vidlatch::platform {

// Our skin engine. A skin file (".she") is a Qt style sheet whose colours are
// named at its top; attaching it restyles every window of the program, and an
// HSV adjustment turns and shifts every named colour.
class SkinEngine {
public:
    struct Skin {
        QList<std::pair<QString, QColor>> colours;  // in file order
        QString sheet;                              // refers to colours as @name
    };

    static SkinEngine& Instance();

    // Reads and applies a skin file; on failure the plain style stays.
    [[nodiscard]] bool Attach(const QString& path);
    void AdjustHSV(int hue, int saturation, int value);

    bool attached() const { return skin_.has_value(); }
    // A named colour of the attached skin after the adjustment.
    std::optional<QColor> Colour(const QString& name) const;
    // The style sheet in force (empty with the plain style).
    QString StyleSheet() const;

    [[nodiscard]] static std::optional<Skin> Parse(const QString& text);
    // Turns the hue by `hue` degrees and adds `saturation` and `value`, each in
    // percent of the full range; grey stays grey.
    static QColor Adjust(const QColor& colour, int hue, int saturation, int value);

private:
    void Apply() const;

    std::optional<Skin> skin_;
    int hue_ = 0, saturation_ = 0, value_ = 0;
};

} // namespace vidlatch::platform

namespace vidlatch::platform {

// The entry points of the skin library. The program's calls go through this
// table, so that a test can stand in for the library and record them.
struct SkinLibrary {
    int (*AttachEx)(const char* skinFile, const char* password);
    int (*AdjustHSV)(int hue, int saturation, int value);
};

// Our engine's entry points.
SkinLibrary SkinEngineLibrary();
// Installs `library` for the calls that follow; returns the one it replaces.
SkinLibrary SetSkinLibrary(SkinLibrary library);

} // namespace vidlatch::platform

// The two calls of the skin library, as the program makes them. Results are
// 0 on success; callers do not look at them.
int SkinH_AttachEx(const char* skinFile, const char* password);
int SkinH_AdjustHSV(int hue, int saturation, int value);
