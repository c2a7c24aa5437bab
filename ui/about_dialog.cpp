#include "ui/about_dialog.h"

#include "res/resource.h"

AboutDialog::AboutDialog() : CDialog(IDD_ABOUTBOX, nullptr) {}

void AboutDialog::DoDataExchange(CDataExchange*) {}
