#pragma once

#include <QString>
#include <QWebEngineUrlSchemeHandler>

namespace vidlatch::platform {

// The custom scheme that serves the Ruffle player's files to the preview page:
// vidlatch-ruffle://app/<file>, from the "ruffle" folder beside the program.
inline constexpr char RuffleScheme[] = "vidlatch-ruffle";

// Must run before the QApplication is made.
void RegisterRuffleScheme();

class RuffleSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    explicit RuffleSchemeHandler(QString folder, QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QString folder_;
};

} // namespace vidlatch::platform
