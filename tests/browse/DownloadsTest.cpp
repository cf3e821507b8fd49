// Where downloads go and how the Downloads window shows them (downloads made by the test; the
// engine's own are in the end-to-end tests).
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>

#include "browse/DownloadList.h"
#include "browse/DownloadsWindow.h"
#include "BrowseSupport.h"

namespace {

QStringList Row(const DownloadsWindow& window, int row) {
    auto* list = window.findChild<QTreeWidget*>("lstDownloads");
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->topLevelItem(row)->text(c);
    return out;
}

} // namespace

TEST(Downloads, ANameThatIsTakenGetsANumberAndASiteChoosesNoFolder) {
    QTemporaryDir dir;
    for (const char* taken : {"report.pdf", "report (1).pdf", "archive.tar.gz", "notes", "a.b.txt"})
        WriteFile(dir.filePath(QLatin1String(taken)), {});
    const struct {
        const char* offered;
        const char* saved;
    } cases[] = {
        {"report.pdf", "report (2).pdf"},
        {"archive.tar.gz", "archive (1).tar.gz"},
        {"notes", "notes (1)"},
        {"a.b.txt", "a.b (1).txt"},
        {"free.zip", "free.zip"},
        {"../../etc/passwd", "passwd"},
        {"..hidden", "hidden"},
        {"a:b*c?.txt", "a_b_c_.txt"},
        {"", "download"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DownloadList::UniqueName(dir.path(), QLatin1String(c.offered)), QLatin1String(c.saved))
            << c.offered;
}

TEST(Downloads, TheQuestionStartsInTheUsersLastFolderAndNothingIsAskedOverTheLock) {
    TempStore store;
    ScriptedFiles files;
    QTemporaryDir ann, bob;
    App().CurrentUser = QStringLiteral("ann");
    files.Next(ann.filePath("one.zip"));
    EXPECT_EQ(DownloadList::AskWhereToSave("one.zip"), ann.filePath("one.zip"));
    EXPECT_EQ(files.asked()[0].folder, QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    files.Next(QString()); // the user says no: nothing is remembered of it
    EXPECT_EQ(DownloadList::AskWhereToSave("two.zip"), QString());
    EXPECT_EQ(files.asked()[1].folder, ann.path());
    App().CurrentUser = QStringLiteral("bob");
    files.Next(bob.filePath("two.zip"));
    DownloadList::AskWhereToSave("two.zip");
    EXPECT_NE(files.asked()[2].folder, ann.path());
    EXPECT_EQ(core::GetValue("bob", "DownloadFolder") + core::GetValue("ann", "DownloadFolder"),
              bob.path() + ann.path());
    App().Locked = true;
    EXPECT_EQ(DownloadList::AskWhereToSave("three.zip"), QString());
    EXPECT_EQ(files.asked().size(), 3);
}

TEST(Downloads, TheWindowShowsProgressAndSpeedAndOffersWhatEachStateAllows) {
    Clock::SetNow(QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    DownloadList list;
    DownloadsWindow window(list);
    QList<QUrl> opened;
    window.SetOpener([&](const QUrl& url) { opened << url; });
    Download running("http://x.test/big.iso", "/tmp/dl/big.iso");
    bool cancelled = false;
    running.SetCanceller([&] { cancelled = true; });
    list.Add(&running);
    Clock::Advance(2000);
    running.Update(3 * 1024 * 1024, 10 * 1024 * 1024);
    EXPECT_EQ(Row(window, 0),
              QStringList({"big.iso", "30%", "3.0 MB of 10.0 MB", "1.5 MB/s", "Downloading"}));
    auto* cancel = window.findChild<QPushButton*>("cmdCancel");
    cancel->click();
    EXPECT_TRUE(cancelled && !cancel->isEnabled());
    EXPECT_EQ(Row(window, 0).last(), "Cancelled");

    Download done("http://x.test/a.pdf", "/tmp/dl/a.pdf");
    QList<Download*> completed;
    QObject::connect(&list, &DownloadList::Completed, [&](Download* d) { completed << d; });
    list.Add(&done);
    done.Update(512, -1);
    done.Finish(Download::State::Completed);
    EXPECT_EQ(completed, QList<Download*>{&done});
    EXPECT_EQ(Row(window, 1), QStringList({"a.pdf", "100%", "512 bytes", "", "Done"}));
    window.findChild<QPushButton*>("cmdOpen")->click();
    window.findChild<QPushButton*>("cmdOpenFolder")->click();
    EXPECT_EQ(opened, QList<QUrl>({QUrl::fromLocalFile("/tmp/dl/a.pdf"), QUrl::fromLocalFile("/tmp/dl")}));
    Download failed("http://x.test/c", "/tmp/dl/c");
    list.Add(&failed);
    failed.Finish(Download::State::Failed, "Network disconnected");
    EXPECT_EQ(Row(window, 2).last(), "Failed: Network disconnected");
    Clock::Reset();
}
