#pragma once
// The register screen: registered so that it can be opened by name, with no content yet.

#include <QWidget>

class TfrmRegister : public QWidget {
    Q_OBJECT
public:
    explicit TfrmRegister(QWidget* parent = nullptr);
};
