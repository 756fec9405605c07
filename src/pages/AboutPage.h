#pragma once

#include "ui/SkinPage.h"

// The last settings page: product name, version and date, and the maker's copyright.
class CAboutPage : public CSkinPage {
  public:
    CAboutPage();
};
