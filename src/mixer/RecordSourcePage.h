#pragma once

#include "ui/SkinPage.h"

// The "Record" page: the recording source, microphone or line, with their levels and balances.
class CRecordSourcePage : public CSkinPage {
  public:
    CRecordSourcePage();
};
