#include "link/ui/PortDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "link/PortMap.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

namespace {
constexpr int kRows = 8;          // two columns of eight options
}  // namespace

PortDialog::PortDialog(PortAccess& access, const TextTable& text, const PortMap* map, const QString& font,
                       QWidget* parent)
    : QDialog(parent), chooser_(access), map_(map) {
  setObjectName(QStringLiteral("frmToolCom"));
  setModal(true);
  if (!font.isEmpty()) setFont(QFont(font));

  auto* frame = new QGroupBox(this);
  frame->setObjectName(QStringLiteral("fraToolCom"));
  auto* label = new QLabel(frame);
  label->setObjectName(QStringLiteral("lblToolCom"));
  auto* grid = new QGridLayout;
  group_ = new QButtonGroup(this);
  for (int k = 0; k < PortAccess::kPortCount; ++k) {
    auto* option = new QRadioButton(QStringLiteral("COM%1").arg(k + 1), frame);
    option->setObjectName(QStringLiteral("COM1_%1").arg(k));
    auto* device = new QLabel(frame);
    device->setObjectName(QStringLiteral("lblComDevice_%1").arg(k));
    device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    group_->addButton(option, k + 1);
    options_[static_cast<size_t>(k)] = option;
    devices_[static_cast<size_t>(k)] = device;
    const int row = k % kRows, column = (k / kRows) * 2;
    grid->addWidget(option, row + 1, column);
    grid->addWidget(device, row + 1, column + 1);
  }
  grid->addWidget(label, 0, 0, 1, 4);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  frame->setLayout(grid);

  auto* ok = new QPushButton(this);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("cmdCancel"));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(ok, QDialogButtonBox::AcceptRole);
  buttons->addButton(cancel, QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(buttons);

  guarded(access.log(), "frmToolCom->Form_Load", [&] {
    setWindowTitle(text.SoftFace(kTxtPortTitle));
    frame->setTitle(text.SoftFace(kTxtPortFrame));
    label->setText(text.SoftFace(kTxtPortLabel));
    ok->setText(text.SoftFace(kTxtPortOk));
    cancel->setText(text.SoftFace(kTxtPortCancel));
    chooser_.load();
  });
  showChooser();
  connect(group_, &QButtonGroup::idClicked, this, [this](int port) {
    chooser_.tick(port);
    showChooser();
  });
}

void PortDialog::showChooser() {
  // An exclusive group cannot untick its last option; the model decides.
  group_->setExclusive(false);
  for (int port = 1; port <= PortAccess::kPortCount; ++port) {
    QRadioButton* option = options_[static_cast<size_t>(port - 1)];
    option->setEnabled(chooser_.enabled(port));
    option->setChecked(chooser_.ticked() == port);
    QString device;
    if (map_) {
      const PortMap::Entry& e = map_->entry(port);
      device = e.path;
      if (!e.description.isEmpty()) device += QStringLiteral("  ") + e.description;
    }
    devices_[static_cast<size_t>(port - 1)]->setText(device);
    devices_[static_cast<size_t>(port - 1)]->setEnabled(chooser_.enabled(port));
  }
  group_->setExclusive(true);
}

void PortDialog::accept() {
  chooser_.ok();
  QDialog::accept();
}

void PortDialog::reject() {
  chooser_.cancel();
  QDialog::reject();
}

}  // namespace zr
