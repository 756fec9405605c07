#include "pages/AboutPage.h"

#include "res/resource.h"

CAboutPage::CAboutPage() : CSkinPage(IDD_ABOUT, 4) {}
