#include "shell/ui/InfoWindows.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/Core.h"
#include "base/TextIds.h"

namespace zr {


// ---- frmTreeView ---------------------------------------------------------------

TreeViewWindow::TreeViewWindow(Core& core, QWidget* parent)
    : QDockWidget(parent), core_(core), tree_(new QTreeWidget(this)) {
  setObjectName(QStringLiteral("frmTreeView"));
  tree_->setObjectName(QStringLiteral("treevMain"));
  tree_->setHeaderHidden(true);
  setAccessibleName(QStringLiteral("Navigation"));
  tree_->setAccessibleName(QStringLiteral("Navigation"));
  tree_->setRootIsDecorated(true);
  tree_->setIndentation(20);  // 300 twips
  setWidget(tree_);
  guarded(core_.log, "frmTreeView->Form_Load:", [&] {
    tree_->clear();
    // The root's caption is ours to choose: the radio's model designation.
    auto* root = new QTreeWidgetItem(tree_, {core_.text.SoftFace(kTxtAppTitle)});
    root->setData(0, Qt::UserRole, QStringLiteral("Radio"));
    const std::pair<const char*, int> children[] = {
        {"RadioInfo", kTxtRadioInfoNode}, {"ChInfo", kTxtChannelInfo}, {"SysSet", kTxtOptionalNode}};
    for (const auto& [key, entry] : children) {
      auto* item = new QTreeWidgetItem(root, {core_.text.SoftFace(entry)});
      item->setData(0, Qt::UserRole, QString::fromLatin1(key));
    }
    root->setExpanded(true);
  });
  connect(tree_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item, int) { nodeClick(item->data(0, Qt::UserRole).toString()); });
}

void TreeViewWindow::nodeClick(const QString& key) {
  guarded(core_.log, "frmTreeView->treevMain_NodeClick:", [&] {
    setFocus();
    if (key == QStringLiteral("RadioInfo")) emit showRequested(QStringLiteral("frmRadioInfo"));
    else if (key == QStringLiteral("ChInfo")) emit showRequested(QStringLiteral("frmChMem"));
    else if (key == QStringLiteral("SysSet")) emit showRequested(QStringLiteral("frmSysSet"));
  });
}

void TreeViewWindow::closeEvent(QCloseEvent* e) {
  // A tree window only hides until the program leaves.
  hide();
  e->ignore();
  if (core_.settings.Leaving) e->accept();
}

// ---- frmRadioInfo ------------------------------------------------------------------

RadioInfoWindow::RadioInfoWindow(Core& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName(QStringLiteral("frmRadioInfo"));
  auto* outer = new QVBoxLayout(this);
  fraMain_ = new QGroupBox(this);
  fraMain_->setObjectName(QStringLiteral("fraMain"));
  auto* form = new QFormLayout(fraMain_);
  auto addRow = [&](const char* labelName, const char* fieldName, int entry) {
    auto* label = new QLabel(fraMain_);
    label->setObjectName(QString::fromLatin1(labelName));
    auto* field = new QLineEdit(fraMain_);
    field->setObjectName(QString::fromLatin1(fieldName));
    field->setReadOnly(true);
    form->addRow(label, field);
    guarded(core_.log, "frmRadioInfo->InitOpt:", [&] { label->setText(core_.text.SoftFace(entry)); });
    return field;
  };
  addRow("lblModel", "txtModel", kTxtInfoModelType);
  addRow("lblRange", "txtRange", kTxtInfoFrequencyMhz);
  auto* cboRange = new QComboBox(fraMain_);
  cboRange->setObjectName(QStringLiteral("cboRange"));
  form->addRow(QString(), cboRange);
  addRow("lblSoftVer", "txtSoftVer", kTxtInfoSoftVersion);
  addRow("lblLastPc", "txtLastPc", kTxtInfoLastWrite);
  lblDebug_ = new QLabel(QStringLiteral(" "), fraMain_);
  lblDebug_->setObjectName(QStringLiteral("lblDebug"));
  lblDebug_->setMinimumSize(12, 12);
  form->addRow(lblDebug_);
  outer->addWidget(fraMain_);
  outer->addStretch(1);
  fraMain_->installEventFilter(this);
  lblDebug_->installEventFilter(this);
  guarded(core_.log, "frmRadioInfo->Form_Load:", [&] {
    fraMain_->setTitle(core_.text.SoftFace(kTxtInfoRadioInfo));
    // The title is ours to choose; the frame's caption says what the window is.
    setWindowTitle(core_.text.SoftFace(kTxtInfoRadioInfo));
  });
}

void RadioInfoWindow::lblDebug_DblClick() { debug_ = !debug_; }

void RadioInfoWindow::fraMain_DblClick() {
  guarded(core_.log, "frmRadioInfo->fraMain_DblClick", [&] {
    if (debug_) emit hexViewRequested();
  });
}

bool RadioInfoWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == lblDebug_) {
      lblDebug_DblClick();
      return true;
    }
    if (watched == fraMain_) fraMain_DblClick();
  }
  return QWidget::eventFilter(watched, event);
}

void RadioInfoWindow::closeEvent(QCloseEvent* e) {
  if (core_.settings.Leaving) {
    e->accept();
    return;
  }
  e->ignore();
  hide();
}

// ---- frmSysSet -----------------------------------------------------------------------

SysSetWindow::SysSetWindow(Core& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName(QStringLiteral("frmSysSet"));
  auto* outer = new QVBoxLayout(this);
  auto* fraMain = new QGroupBox(this);
  fraMain->setObjectName(QStringLiteral("fraMain"));
  auto* inner = new QVBoxLayout(fraMain);
  auto* print = new QPushButton(fraMain);
  print->setObjectName(QStringLiteral("cmdSysSetPrint"));
  print->setText(QStringLiteral("Print"));
  print->setEnabled(false);  // the button has no effect
  inner->addWidget(print, 0, Qt::AlignLeft);
  inner->addStretch(1);
  outer->addWidget(fraMain);
  guarded(core_.log, "frmSysSet->Form_Load:", [&] {
    setWindowTitle(core_.text.SoftFace(kTxtOptionalFeatures));
    fraMain->setTitle(core_.text.SoftFace(kTxtOptionalFeatures));
  });
}

void SysSetWindow::closeEvent(QCloseEvent* e) {
  if (core_.settings.Leaving) {
    e->accept();
    return;
  }
  e->ignore();
  hide();
}

// ---- frmAboutSoft --------------------------------------------------------------------

AboutDialog::AboutDialog(Core& core, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAboutSoft"));
  int lang = core.CurLang;
  if (lang < kLangChs || lang > kLangEng) lang = kLangEng;
  const int k = lang - 1;
  static const char* kTitle[] = {"关于", "關於", "About"};
  static const char* kProduct[] = {"Q7X系列对讲机编程软件", "Q7X系列對講機編程軟體", "Q7X Radio Programming Software"};
  static const char* kOk[] = {"确定", "確定", "OK"};
  static const char* kUseRange[] = {"用于Q7X", "用於Q7X", "For Q7X"};
  static const char* kVersion[] = {"版本 1.0", "版本 1.0", "Version 1.0"};
  static const char* kRelease[] = {"ZR-417 CPS 发行版", "ZR-417 CPS 發行版", "ZR-417 CPS release"};
  static const char* kDescription[] = {"读取、编辑、保存并写入 ZR-417 对讲机的配置。",
                                       "讀取、編輯、儲存並寫入 ZR-417 對講機的設定。",
                                       "Reads, edits, saves and writes the configuration of the ZR-417 radio."};
  static const char* kRights[] = {"本软件按原样提供。", "本軟體按原樣提供。", "This software is provided as is."};

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout();
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("picIcon"));
  picture->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  top->addWidget(picture, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout();
  auto label = [&](const char* name, const char* text, bool bold = false) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setObjectName(QString::fromLatin1(name));
    QFont f(core.settings.SoftFont.isEmpty() ? font().family() : core.settings.SoftFont);
    f.setBold(bold);
    l->setFont(f);
    l->setWordWrap(true);
    texts->addWidget(l);
    return l;
  };
  guarded(core.log, "frmAboutSoft->Form_Load:", [&] {
    setWindowTitle(QString::fromUtf8(kTitle[k]));
    label("lblTitle", kProduct[k], true);
    label("lblUseRange", kUseRange[k]);
    label("lblVersion", kVersion[k]);
    label("lblRelease", kRelease[k]);
    label("lblDescription", kDescription[k]);
    label("lblRights", kRights[k])->setVisible(true);
  });
  top->addLayout(texts, 1);
  layout->addLayout(top);
  auto* ok = new QPushButton(QString::fromUtf8(kOk[k]), this);
  ok->setObjectName(QStringLiteral("cmdOK"));
  if (!core.settings.SoftFont.isEmpty()) ok->setFont(QFont(core.settings.SoftFont));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

}  // namespace zr
