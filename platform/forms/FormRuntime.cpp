#include "FormRuntime.h"

#include "QtFormRuntime.h"

#include <QCoreApplication>

namespace vidlatch::platform {
namespace {

std::unique_ptr<FormRuntime>& Installed()
{
    static std::unique_ptr<FormRuntime> runtime;
    return runtime;
}

} // namespace

FormRuntime& Runtime()
{
    auto& runtime = Installed();
    if (!runtime)
        runtime = std::make_unique<QtFormRuntime>();
    return *runtime;
}

std::unique_ptr<FormRuntime> SetRuntime(std::unique_ptr<FormRuntime> runtime)
{
    std::swap(Installed(), runtime);
    return runtime;
}

int RunEventLoop()
{
    if (Runtime().Ending())
        return Runtime().EndStatus();
    return QCoreApplication::exec();
}

void RunHandler(const std::function<void()>& handler)
{
    if (Runtime().Ending())
        return;  // the program is going: no handler runs any more
    try {
        handler();
    } catch (const std::exception& error) {
        // Our own errors carry a catalog text; any other stays as it is.
        Runtime().ReportUnhandledError(QCoreApplication::translate("Vidlatch", error.what()));
    } catch (...) {
        Runtime().ReportUnhandledError(QCoreApplication::translate("Vidlatch", "未知错误"));
    }
}

} // namespace vidlatch::platform
