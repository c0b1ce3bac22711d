#include "retrieval/untDashboardReport.h"

#include "core/widgets/ScreenRegistry.h"

TfrmDashboardReport::TfrmDashboardReport(QWidget* parent) : QWidget(parent)
{
}

NEMORA_REGISTER_SCREEN(TfrmDashboardReport);
