#include "runtime/qt_ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QUrl>

#include "runtime/context.h"
#include "runtime/qt_window_host.h"

namespace tdx::rt {

namespace {

QString qstr(const std::filesystem::path& p) {
  auto u = p.u8string();
  return QString::fromUtf8(reinterpret_cast<const char*>(u.data()), qsizetype(u.size()));
}

// The document-opening codes of the platform: above 32 is success.
constexpr int kOpened = 33;
constexpr int kFileNotFound = 2;
constexpr int kNoAssociation = 31;

}  // namespace

QtUi::QtUi() : host_(std::make_unique<QtWindowHost>(*this)) {}

QtUi::~QtUi() = default;

void QtUi::attach(Session& session) {
  folder_ = session.folder();
  positions_ = &session.positions();
}

void QtUi::beep() {
  ++beeps_;
  QApplication::beep();
}

int QtUi::openDocument(const std::filesystem::path& document) {
  QFileInfo info(qstr(document));
  if (!info.exists()) return kFileNotFound;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? kOpened : kNoAssociation;
}

int QtUi::runProcess(const std::string& program, const std::vector<std::string>& args,
                     const std::filesystem::path& folder) {
  QProcess process;
  process.setWorkingDirectory(qstr(folder));
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  QStringList a;
  for (const auto& s : args) a << QString::fromStdString(s);
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) loop.quit();
  });
  process.start(QString::fromStdString(program), a);
  // The windows stay painted and usable while the process runs.
  if (process.state() != QProcess::NotRunning) loop.exec();
  if (process.error() == QProcess::FailedToStart) return -1;
  if (process.state() != QProcess::NotRunning) {
    // The program is ending while the process still runs.
    process.kill();
    process.waitForFinished(1000);
    return -1;
  }
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

std::optional<std::filesystem::path> QtUi::chooseFolder(std::string_view title, const std::filesystem::path& start) {
  QString chosen = QFileDialog::getExistingDirectory(dialogParent(), QString::fromUtf8(title.data(), qsizetype(title.size())),
                                                     qstr(start), QFileDialog::ShowDirsOnly);
  if (chosen.isEmpty()) return std::nullopt;
  QByteArray u = chosen.toUtf8();
  return std::filesystem::path(std::u8string(u.begin(), u.end()));
}

QPrinter& QtUi::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void QtUi::printerSetup() {
  QPrintDialog dialog(&printer(), dialogParent());
  dialog.setWindowTitle(QStringLiteral("Nastavitev tiskalnika"));
  dialog.exec();
}

QWidget* QtUi::dialogParent() const {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  if (QWidget* w = QApplication::activeWindow()) return w;
  return host_->frameWindow();
}

WindowHost* QtUi::windows() { return host_.get(); }

void QtUi::guard(const std::function<void()>& code) {
  if (endStatus_) return;
  try {
    code();
  } catch (const ProgramEnd& e) {
    endProgram(e.status());
  } catch (const std::exception& e) {
    // A failure nobody expected must not take the windows down silently:
    // say what it was, then end the program.
    if (!endStatus_) {
      QMessageBox::critical(dialogParent(), QStringLiteral("Napaka"), QString::fromUtf8(e.what()));
      endProgram(1);
    }
  }
}

void QtUi::endProgram(int status) {
  if (endStatus_) return;
  endStatus_ = status;
  // Every event loop of the thread stops, the nested ones too.
  QCoreApplication::exit(status);
}

}  // namespace tdx::rt
