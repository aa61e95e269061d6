#include "DroppedAddress.h"

#include "AddressRule.h"

#include <QMimeData>
#include <QUrl>

namespace vidlatch::platform {

DroppedAddress ReadDrop(const QMimeData* data)
{
    using Kind = DroppedAddress::Kind;
    if (!data)
        return {};
    // A drag that names links is judged by them alone, whatever text comes
    // with it: a file manager sends a file's path as text too.
    if (data->hasUrls()) {
        const QList<QUrl> urls = data->urls();
        if (urls.size() != 1 || !IsWebAddress(urls[0]))
            return {};
        return {Kind::WebLink, urls[0].toString()};
    }
    if (data->hasText() && !data->text().isEmpty())
        return {Kind::Text, data->text()};
    return {};
}

} // namespace vidlatch::platform
