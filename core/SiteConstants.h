#pragma once

// Every address and product text of the program. Pointing Vidlatch at another
// site means editing the host names here and nothing else.

#include "FixedText.h"
#include "ProgramText.h"

#include <array>
#include <string_view>

namespace vidlatch::site {

// --- Hosts and files of the video site --------------------------------------
inline constexpr std::u16string_view PageHost = u"v.vidsite.example";
inline constexpr std::u16string_view BlogHost = u"blog.vidsite.example";
inline constexpr std::u16string_view StaticHost = u"static.vidsite.example";
inline constexpr std::u16string_view PlayerFile = u"vidplayer.swf";
inline constexpr std::u16string_view BrandName = u"Vidsite";
inline constexpr std::u16string_view ForumHost = u"bbs.brightfold.example";

// The only hosts the built-in browsers reach, for pages and for every part of
// them: the engine they run gets no security updates from the distribution.
inline constexpr std::array<std::u16string_view, 4> BrowsingHosts{PageHost, BlogHost, StaticHost, ForumHost};

// The connection probe fetches this bare host name: no scheme, no path.
inline constexpr std::u16string_view ProbeHost = u"www.baidu.com";

// --- Addresses built from them -----------------------------------------------
inline constexpr auto PageHostPrefixText = Concat(u"http://", PageHost, u"/");
inline constexpr std::u16string_view PageHostPrefix = PageHostPrefixText;

inline constexpr auto VideoPagePrefixText = Concat(PageHostPrefix, u"page");
inline constexpr std::u16string_view VideoPagePrefix = VideoPagePrefixText;

inline constexpr auto BlogHostPrefixText = Concat(u"http://", BlogHost, u"/");
inline constexpr std::u16string_view BlogHostPrefix = BlogHostPrefixText;

inline constexpr auto PlayerAddressPrefixText =
    Concat(u"http://", StaticHost, u"/v1/res/", PlayerFile, u"?f=3&vid=");
inline constexpr std::u16string_view PlayerAddressPrefix = PlayerAddressPrefixText;

inline constexpr auto ForumAddressText = Concat(u"http://", ForumHost, u"/");
inline constexpr std::u16string_view ForumAddress = ForumAddressText;

// --- Product texts -------------------------------------------------------------
inline constexpr std::u16string_view MessengerLabel = u"IM";
inline constexpr std::u16string_view ContactNumber = u"20090806";
inline constexpr auto MessengerContactText = Concat(MessengerLabel, u"：", ContactNumber);
inline constexpr std::u16string_view MessengerContact = MessengerContactText;

inline constexpr std::u16string_view BannerLine =
    VIDLATCH_TEXT("Vidlatch", "Brightfold 原创免费软件 · 欢迎访问论坛获取更多工具");
inline constexpr std::u16string_view CopyrightLine =
    VIDLATCH_TEXT("Vidlatch", "Copyright © 2009 QuorinVelmo · Brightfold 论坛");

// Two spaces before "-" on the main window; none after it on the browser window.
inline constexpr auto MainWindowCaptionText =
    Concat(u"Ｋo.Vidlatch V4.0  - By：QuorinVelmo | ", MessengerContact);
inline constexpr std::u16string_view MainWindowCaption = MainWindowCaptionText;

inline constexpr auto BrowserWindowCaptionText =
    Concat(u"Ｋo.Vidlatch V4.0 -By:QuorinVelmo | ", MessengerContact);
inline constexpr std::u16string_view BrowserWindowCaption = BrowserWindowCaptionText;

// The main window's three-line hint, with an example page address.
inline constexpr auto HintText = Concat<512>(
    VIDLATCH_TEXT("Vidlatch", "首先打开任意观看地址页面,复制上方地址,例如："), u"\r\n",
    PageHostPrefix, u"page/W/f/t/XXXXXXXXXXX.html", u"\r\n",
    VIDLATCH_TEXT("Vidlatch", "其中XXXXXXXXXXX就是视频代码了，点击获取地址"));

} // namespace vidlatch::site
