// The product introduction page on the maker's web site, opened from the
// bar's menu and from the product About window.
#pragma once

// The maker's site over https, so that nothing about the user crosses the
// network in the clear.
#define NUV_MAKER_SITE L"https://www.nuvsoft.cn"

inline constexpr wchar_t kProductPageUrl[] = NUV_MAKER_SITE L"/ProductIntroduction_orvelSokra.php";

// Opens the page in the default browser, as one argument on its command line.
void OpenProductPage();
