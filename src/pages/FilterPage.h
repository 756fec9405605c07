#pragma once

#include "ui/SkinPage.h"

// The "Filter" page: the adapter's output filter, 2.1 or 5.1 speakers and the bass crossover.
class CFilterPage : public CSkinPage {
  public:
    CFilterPage();
};
