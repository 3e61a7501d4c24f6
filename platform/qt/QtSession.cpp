#include "platform/qt/QtSession.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/qt/QtDialogService.h"
#include "platform/qt/QtRenderer.h"

namespace corvane::qt {

namespace {

// QApplication keeps a reference to argc and the strings of argv.
int gArgc = 1;
char gProgram[] = "CorvaneWorkCenter";
char* gArgv[] = {gProgram, nullptr};

}  // namespace

struct QtSession::Parts {
    std::unique_ptr<QApplication> ownApp;  // null when one existed already
    std::unique_ptr<QtRenderer> renderer;
    std::unique_ptr<QtDialogService> dialogs;
};

QtSession::QtSession(ui::Application& application, bool offscreen) : parts_(std::make_unique<Parts>()) {
    if (!QApplication::instance()) {
        if (offscreen) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            // Qt wants a private runtime folder; without a session (script
            // mode, services) make one rather than let it complain.
            if (!std::getenv("XDG_RUNTIME_DIR")) {
                std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                               ("corvane-runtime-" + std::to_string(getuid()));
                std::error_code ignored;
                std::filesystem::create_directories(folder, ignored);
                if (chmod(folder.c_str(), 0700) == 0) setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
            }
        }
        parts_->ownApp = std::make_unique<QApplication>(gArgc, gArgv);
    }
    parts_->renderer = std::make_unique<QtRenderer>(application);
    parts_->dialogs = std::make_unique<QtDialogService>(*parts_->renderer);
}

QtSession::~QtSession() {
    parts_->dialogs.reset();
    parts_->renderer.reset();
    parts_->ownApp.reset();
}

ui::DialogService& QtSession::dialogs() { return *parts_->dialogs; }

int QtSession::run(const std::function<bool()>& tick, int intervalMs) {
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&timer, &tick] {
        if (!tick()) {
            timer.stop();
            QApplication::quit();
        }
    });
    timer.start(intervalMs);
    if (!tick()) return 0;
    return QApplication::exec();
}

bool QtSession::saveScreenshot(ui::Form& form, const std::string& utf8Path, std::string& error) {
    QtRenderer& renderer = *parts_->renderer;
    if (!renderer.windowOf(form)) renderer.formShown(form);
    if (!renderer.windowOf(form)) {
        error = "the window cannot be drawn";
        return false;
    }
    if (!renderer.saveScreenshot(form, QString::fromStdString(utf8Path))) {
        error = "cannot save " + utf8Path;
        return false;
    }
    return true;
}

int QtSession::chooseRow(const std::u16string& title, const std::vector<std::u16string>& captions,
                         const std::vector<std::vector<std::u16string>>& rows) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QString::fromStdU16String(title));
    auto* table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(captions.size()), &dialog);
    QStringList headers;
    for (const std::u16string& caption : captions) headers << QString::fromStdU16String(caption);
    table->setHorizontalHeaderLabels(headers);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size() && c < captions.size(); ++c)
            table->setItem(static_cast<int>(r), static_cast<int>(c),
                           new QTableWidgetItem(QString::fromStdU16String(rows[r][c])));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    if (!rows.empty()) table->selectRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(420, 320);
    if (dialog.exec() != QDialog::Accepted || rows.empty()) return -1;
    int row = table->currentRow();
    return row >= 0 && row < static_cast<int>(rows.size()) ? row : -1;
}

void QtSession::showError(const std::string& utf8Title, const std::string& utf8Text) {
    QMessageBox::critical(QApplication::activeWindow(), QString::fromStdString(utf8Title),
                          QString::fromStdString(utf8Text));
}

}  // namespace corvane::qt
