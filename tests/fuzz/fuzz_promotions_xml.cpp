// Hostile promotions.xml replies: a bounded number of panels, no crash, nothing fetched here.
#include "FuzzSupport.h"
#include "SoftwareWidget.h"

#include <QApplication>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication<QApplication>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SoftwareWidget page;
    page.loadPromotions(fuzz::bytes(data, size));
    FUZZ_CHECK(page.panels().size() <= SoftwareWidget::kMaxPanels);
    return 0;
}
