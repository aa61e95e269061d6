#pragma once

#include <string>
#include <vector>

namespace vidlatch::bench {

// Page addresses as users paste them: mostly single-video pages, some with a
// query string, and the covers, albums, films and foreign pages that come along.
std::vector<std::u16string> RealisticAddresses(std::size_t count);

} // namespace vidlatch::bench
