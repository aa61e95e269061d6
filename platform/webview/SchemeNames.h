#pragma once

namespace vidlatch::platform {

// The preview's own scheme, which no browsing page can reach:
//   vidlatch-ruffle://app/<file>     the Ruffle player's files, from its folder
//   vidlatch-ruffle://movie/<token>  a movie the program has fetched and
//                                    checked, served once to the player page
//   vidlatch-ruffle://net/?url=...   what a movie asks of the network, which
//                                    the program fetches for its page
inline constexpr char PlayerScheme[] = "vidlatch-ruffle";

} // namespace vidlatch::platform
