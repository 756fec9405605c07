#include "mixer/RecordSourcePage.h"

#include "res/resource.h"

CRecordSourcePage::CRecordSourcePage() : CSkinPage(IDD_RECORD_SOURCE, 3) {}
