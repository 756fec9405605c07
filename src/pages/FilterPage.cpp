#include "pages/FilterPage.h"

#include "res/resource.h"

CFilterPage::CFilterPage() : CSkinPage(IDD_FILTER, 2) {}
