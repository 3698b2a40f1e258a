#include "types/Links.h"

namespace Links {

QUrl withoutUserInfo(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveUserInfo);
}

} // namespace Links
