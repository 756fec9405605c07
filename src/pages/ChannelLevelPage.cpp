#include "pages/ChannelLevelPage.h"

#include "res/resource.h"

CChannelLevelPage::CChannelLevelPage() : CSkinPage(IDD_CHANNEL_LEVEL, 1) {}
