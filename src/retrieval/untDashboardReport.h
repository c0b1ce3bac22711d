#pragma once
// The reports dashboard: registered so that it can be opened by name, with no content yet.

#include <QWidget>

class TfrmDashboardReport : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDashboardReport(QWidget* parent = nullptr);
};
