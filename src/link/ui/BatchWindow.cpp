#include "link/ui/BatchWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

#include "link/BatchStation.h"
#include "link/PortMap.h"
#include "data/Core.h"
#include "base/TextIds.h"

namespace zr {

namespace {
const QStringList kColumns{QStringLiteral("Time"),  QStringLiteral("Port"),   QStringLiteral("Round"),
                           QStringLiteral("Model code"), QStringLiteral("Ident"), QStringLiteral("Radio ID"),
                           QStringLiteral("Result"), QStringLiteral("Cause"), QStringLiteral("Seconds"),
                           QStringLiteral("Backups")};
constexpr int kPathChars = 1024;

// A label that names the control after it, for the screen reader and for Alt+key.
QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setBuddy(buddy);
  buddy->setAccessibleName(QString(text).remove(u'&').remove(u':'));
  return l;
}
}  // namespace

BatchWindow::BatchWindow(Core& core, PortMap& ports, QWidget* parent) : QDialog(parent), core_(core), map_(ports) {
  setObjectName(QStringLiteral("frmBatchWrite"));
  setWindowTitle(QStringLiteral("Batch Write"));
  setAccessibleName(QStringLiteral("Batch Write"));

  file_ = new QLineEdit(this);
  file_->setObjectName(QStringLiteral("txtBatchFile"));
  // The saved file is what the radios get; the window says when the editors
  // hold changes that are not in it.
  file_->setText(core_.image.CurFilePath);
  chooseFile_ = new QPushButton(QStringLiteral("C&hoose..."), this);
  chooseFile_->setObjectName(QStringLiteral("cmdBatchChooseFile"));
  chooseFile_->setAccessibleName(QStringLiteral("Choose the data file"));
  unsaved_ = new QLabel(this);
  unsaved_->setObjectName(QStringLiteral("lblBatchUnsaved"));
  unsaved_->setWordWrap(true);
  unsaved_->setAccessibleName(QStringLiteral("Unsaved changes"));

  ports_ = new QListWidget(this);
  ports_->setObjectName(QStringLiteral("lstBatchPorts"));
  ports_->setMinimumHeight(90);
  verify_ = new QCheckBox(QStringLiteral("&Verify"), this);
  verify_->setObjectName(QStringLiteral("chkBatchVerify"));
  verify_->setAccessibleName(QStringLiteral("Verify"));
  verify_->setChecked(core_.setting(QStringLiteral("VerifyAfterWrite"), QStringLiteral("0"), 2) == QStringLiteral("1"));
  backup_ = new QCheckBox(QStringLiteral("&Back up first"), this);
  backup_->setObjectName(QStringLiteral("chkBatchBackup"));
  backup_->setAccessibleName(QStringLiteral("Back up first"));
  radioId_ = new QLineEdit(this);
  radioId_->setObjectName(QStringLiteral("txtBatchRadioId"));
  radioId_->setPlaceholderText(QStringLiteral("keep the file's"));
  radioId_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-9]{0,6}")), radioId_));
  log_ = new QLineEdit(this);
  log_->setObjectName(QStringLiteral("txtBatchLog"));
  const QString defaultLog = QDir(core_.paths.dataDir).filePath(QStringLiteral("batch-log.csv"));
  log_->setText(core_.setting(kLogKey, defaultLog, kPathChars));

  writeAll_ = new QPushButton(QStringLiteral("Write all (Enter)"), this);
  writeAll_->setObjectName(QStringLiteral("cmdBatchWriteAll"));
  writeAll_->setAccessibleName(QStringLiteral("Write all"));
  writeAll_->setDefault(true);
  writeAll_->setMinimumHeight(48);
  QFont big = writeAll_->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  big.setBold(true);
  writeAll_->setFont(big);

  portFrame_ = new QGroupBox(QStringLiteral("Ports"), this);
  portFrame_->setObjectName(QStringLiteral("fraBatchPorts"));
  portRows_ = new QGridLayout(portFrame_);

  table_ = new QTableWidget(0, static_cast<int>(kColumns.size()), this);
  table_->setObjectName(QStringLiteral("tblBatchResults"));
  table_->setAccessibleName(QStringLiteral("Radios done"));
  table_->setHorizontalHeaderLabels(kColumns);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->setVisible(false);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("lblBatchStatus"));
  status_->setAccessibleName(QStringLiteral("Batch status"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setObjectName(QStringLiteral("cmdBatchClose"));
  close->setAutoDefault(false);

  auto* form = new QFormLayout;
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(chooseFile_);
  form->addRow(labelFor(QStringLiteral("&Data file:"), file_, this), fileRow);
  form->addRow(QString(), unsaved_);
  form->addRow(labelFor(QStringLiteral("&Ports to use:"), ports_, this), ports_);
  auto* checks = new QHBoxLayout;
  checks->addWidget(verify_);
  checks->addWidget(backup_);
  checks->addStretch();
  form->addRow(QString(), checks);
  form->addRow(labelFor(QStringLiteral("First &Radio ID:"), radioId_, this), radioId_);
  form->addRow(labelFor(QStringLiteral("&Log file:"), log_, this), log_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(writeAll_);
  layout->addWidget(portFrame_);
  layout->addWidget(labelFor(QStringLiteral("Radios &done:"), table_, this));
  layout->addWidget(table_, 1);
  layout->addWidget(status_);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(close);
  layout->addLayout(bottom);
  resize(900, 640);

  connect(chooseFile_, &QPushButton::clicked, this, &BatchWindow::chooseFile);
  connect(file_, &QLineEdit::textChanged, this, &BatchWindow::showUnsaved);
  connect(ports_, &QListWidget::itemChanged, this, &BatchWindow::portsChanged);
  connect(writeAll_, &QPushButton::clicked, this, &BatchWindow::writeAll);
  connect(close, &QPushButton::clicked, this, &BatchWindow::close);
  fillPorts();
  showUnsaved();
}

BatchWindow::~BatchWindow() = default;

bool BatchWindow::running() const { return station_ && station_->running(); }

const std::vector<RadioResult>& BatchWindow::results() const {
  static const std::vector<RadioResult> none;
  return station_ ? station_->results() : none;
}

void BatchWindow::fillPorts() {
  filling_ = true;
  map_.refresh();
  const QStringList remembered = core_.setting(kPortsKey, QString(), kPathChars).split(u',', Qt::SkipEmptyParts);
  ports_->clear();
  for (int n = 1; n <= PortMap::kPortCount; ++n) {
    const QString device = map_.devicePath(n);
    if (device.isEmpty()) continue;
    const QString description = map_.description(n);
    auto* item = new QListWidgetItem(QStringLiteral("COM%1  %2%3").arg(n).arg(device,
                                     description.isEmpty() ? QString() : QStringLiteral("  (") + description + u')'),
                                     ports_);
    item->setData(Qt::UserRole, n);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(remembered.contains(QString::number(n)) ? Qt::Checked : Qt::Unchecked);
  }
  if (ports_->count() > 0) ports_->setCurrentRow(0);
  filling_ = false;
}

void BatchWindow::portsChanged() {
  if (filling_) return;
  QStringList ticked;
  for (int i = 0; i < ports_->count(); ++i)
    if (ports_->item(i)->checkState() == Qt::Checked) ticked << ports_->item(i)->data(Qt::UserRole).toString();
  core_.ini.WriteString(kSettingSection, kPortsKey, ticked.join(u','));
}

void BatchWindow::chooseFile() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Data file for the batch"),
                                                    QFileInfo(file_->text()).absolutePath(),
                                                    QStringLiteral("Data files (*.dat);;All files (*)"));
  if (!path.isEmpty()) file_->setText(path);
}

void BatchWindow::showUnsaved() {
  const bool current = !core_.image.CurFilePath.isEmpty() &&
                       QFileInfo(file_->text()).absoluteFilePath() == QFileInfo(core_.image.CurFilePath).absoluteFilePath();
  unsaved_->setText(current && core_.history.modified()
                        ? QStringLiteral("The editors hold changes that are not saved in this file; the radios get "
                                         "the saved file. Save first (Ctrl+S) to write the changes.")
                        : QString());
  unsaved_->setVisible(!unsaved_->text().isEmpty());
}

QString BatchWindow::portLabel(const QString& device) const {
  const int n = map_.numberOf(device);
  return n > 0 ? QStringLiteral("COM%1").arg(n) : device;
}

void BatchWindow::setEditable(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{file_, chooseFile_, ports_, verify_, backup_, radioId_, log_, writeAll_})
    w->setEnabled(on);
  if (on) writeAll_->setFocus();
}

void BatchWindow::writeAll() {
  if (running()) return;
  BatchJob job;
  job.workerProgram = workerProgram;
  job.configPath = core_.ini.path();
  job.dataFile = file_->text().trimmed();
  for (int i = 0; i < ports_->count(); ++i)
    if (ports_->item(i)->checkState() == Qt::Checked)
      job.ports << map_.devicePath(ports_->item(i)->data(Qt::UserRole).toInt());
  job.verify = verify_->isChecked();
  job.backupBefore = backup_->isChecked();
  job.radioIdFrom = radioId_->text();
  job.logPath = log_->text().trimmed();
  const QString title = core_.text.SoftFace(kTxtNotice);
  QString problem;
  if (job.ports.isEmpty()) problem = QStringLiteral("Tick at least one port to write.");
  else if (!QFileInfo(job.dataFile).isFile())
    problem = QStringLiteral("The data file %1 is not there. Choose the file to write.").arg(job.dataFile);
  else if (!job.radioIdFrom.isEmpty() && !isRadioId(job.radioIdFrom))
    problem = QStringLiteral("A Radio ID has six digits 1 to 9; leave it empty to keep the file's.");
  if (!problem.isEmpty()) {
    core_.prompts.message(title, problem, UserPrompts::Icon::Exclamation);
    return;
  }
  // The same settings go on counting rounds and Radio IDs; changed settings
  // start a new station (its Radio IDs from the box).
  const QString key = QStringList{job.dataFile, job.ports.join(u'|'), QString::number(job.verify),
                                  QString::number(job.backupBefore), job.logPath}
                          .join(u'\n');
  if (!station_ || key != stationKey_ || job.radioIdFrom != station_->nextId()) {
    station_ = std::make_unique<BatchStation>(job);
    stationKey_ = key;
    connect(station_.get(), &BatchStation::progress, this, &BatchWindow::onProgress);
    connect(station_.get(), &BatchStation::radioDone, this, &BatchWindow::onRadioDone);
    connect(station_.get(), &BatchStation::roundFinished, this, &BatchWindow::onRoundFinished);
    if (const QString why = station_->openLog(); !why.isEmpty()) {
      station_.reset();
      core_.prompts.message(title, why + QStringLiteral(". Choose another log file."), UserPrompts::Icon::Exclamation);
      return;
    }
    core_.ini.WriteString(kSettingSection, kLogKey, job.logPath);
  }
  buildPortRows(job.ports);
  if (!station_->startRound()) {
    status_->setText(QStringLiteral("No Radio ID is left after 999999. Enter a new first Radio ID."));
    return;
  }
  setEditable(false);
  status_->setText(QStringLiteral("Round %1: writing %2 radio(s)...").arg(station_->round()).arg(job.ports.size()));
}

void BatchWindow::buildPortRows(const QStringList& devices) {
  while (QLayoutItem* item = portRows_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  bars_.clear();
  portStatus_.clear();
  for (int i = 0; i < devices.size(); ++i) {
    const QString name = portLabel(devices[i]);
    auto* label = new QLabel(QStringLiteral("%1 (%2)").arg(name, devices[i]), portFrame_);
    auto* bar = new QProgressBar(portFrame_);
    bar->setObjectName(QStringLiteral("prgBatch_%1").arg(i));
    bar->setAccessibleName(QStringLiteral("Progress of %1").arg(name));
    bar->setRange(0, 100);
    auto* state = new QLabel(QStringLiteral("waiting"), portFrame_);
    state->setObjectName(QStringLiteral("lblBatchPort_%1").arg(i));
    state->setAccessibleName(QStringLiteral("State of %1").arg(name));
    state->setWordWrap(true);
    state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    portRows_->addWidget(label, i, 0);
    portRows_->addWidget(bar, i, 1);
    portRows_->addWidget(state, i, 2);
    bars_.push_back(bar);
    portStatus_.push_back(state);
  }
  portRows_->setColumnStretch(1, 1);
  portRows_->setColumnStretch(2, 2);
}

void BatchWindow::onProgress(int port, const QString& stage, int percent) {
  if (port < 0 || port >= static_cast<int>(bars_.size())) return;
  bars_[static_cast<size_t>(port)]->setValue(percent);
  portStatus_[static_cast<size_t>(port)]->setText(stage == QLatin1String("backup") ? QStringLiteral("backing up...")
                                                                                     : QStringLiteral("writing..."));
}

void BatchWindow::onRadioDone(int port, const RadioResult& r) {
  if (port >= 0 && port < static_cast<int>(bars_.size())) {
    QLabel* state = portStatus_[static_cast<size_t>(port)];
    QString text = outcomeWord(r.result);
    if (!r.radioId.isEmpty()) text += QStringLiteral(" id=") + r.radioId;
    if (!r.cause.isEmpty()) text += QStringLiteral(": ") + r.cause;
    if (r.result == BatchOutcome::PartlyWritten && !r.cause.contains(QStringLiteral("write it again")))
      text += QStringLiteral("\nThe radio was partly written; write it again before using it.");
    state->setText(text);
    state->setStyleSheet(r.ok() ? QString() : QStringLiteral("color: #b00000;"));
    if (r.ok()) bars_[static_cast<size_t>(port)]->setValue(100);
  }
  const int row = table_->rowCount();
  table_->insertRow(row);
  const QStringList cells{QDateTime::currentDateTime().toString(Qt::ISODate),
                          portLabel(r.port),
                          QString::number(r.round),
                          r.modelCode < 0 ? QString() : QString::number(r.modelCode),
                          r.ident,
                          r.radioId,
                          outcomeWord(r.result),
                          r.cause,
                          QString::number(r.seconds, 'f', 1),
                          r.backups.join(QStringLiteral("; "))};
  for (int c = 0; c < cells.size(); ++c) table_->setItem(row, c, new QTableWidgetItem(cells[c]));
  table_->scrollToBottom();
}

void BatchWindow::onRoundFinished(int round) {
  int ok = 0, done = 0;
  for (const RadioResult& r : station_->results())
    if (r.round == round) {
      ++done;
      ok += r.ok() ? 1 : 0;
    }
  QString text = QStringLiteral("Round %1 done: %2 of %3 radio(s) ok.").arg(round).arg(ok).arg(done);
  if (!station_->job().logPath.isEmpty()) text += QStringLiteral(" Log: ") + QDir::toNativeSeparators(station_->job().logPath);
  if (!station_->logProblem().isEmpty()) text += QStringLiteral("\n") + station_->logProblem();
  if (!station_->nextId().isEmpty()) {
    text += QStringLiteral(" Next Radio ID: ") + station_->nextId();
    // The box shows where the numbering goes on; a number typed over it
    // starts the count there.
    radioId_->setText(station_->nextId());
  }
  text += QStringLiteral(" Connect the next radios and press Enter.");
  status_->setText(text);
  setEditable(true);
}

void BatchWindow::closeEvent(QCloseEvent* e) {
  if (running() &&
      !core_.prompts.askYesNo(core_.text.SoftFace(kTxtNotice),
                              QStringLiteral("Radios are being written. Stopping now leaves them partly written. Stop?"))) {
    e->ignore();
    return;
  }
  if (station_) station_->stopAll();
  e->accept();
}

void BatchWindow::reject() {
  // Escape closes through the same question as the window's close button.
  close();
}

}  // namespace zr
