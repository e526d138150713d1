#include "product_page.h"

#include "browser_launcher.h"
#include "web_search_url.h"

void OpenProductPage() {
    OpenUrlInBrowser(QuotedCommandArgument(kProductPageUrl).c_str());
}
