#include "retrieval/untRegister.h"

#include "core/widgets/ScreenRegistry.h"

TfrmRegister::TfrmRegister(QWidget* parent) : QWidget(parent)
{
}

NEMORA_REGISTER_SCREEN(TfrmRegister);
