// The command line: answers that need no window, the toolkit's own options, and what the
// arguments open.
#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include "frame/CommandLine.h"

namespace {

using Action = CommandLine::Action;

TEST(CommandLine, OptionsArgumentsAndTheirAnswers) {
    QTemporaryDir here;
    QFile page(here.filePath("page one.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    const QString pageUrl = "file://" + here.path() + "/page%20one.html";
    struct Case {
        QStringList arguments;
        Action action;
        QStringList addresses;
        const char* text; // contained in the answer
    } cases[] = {
        {{}, Action::Run, {}, ""},
        {{"--help"}, Action::Help, {}, "Usage: bramblegate [options] [address...]"},
        {{"-h", "http://a.test/"}, Action::Help, {}, "  -v, --version"},
        {{"--version"}, Action::Version, {}, "Bramblegate 1.5.2\n"},
        {{"-v"}, Action::Version, {}, "Bramblegate 1.5.2\n"},
        {{"--bogus"}, Action::Error, {}, "bramblegate: Unknown option 'bogus'."},
        {{"-x", "a.test"}, Action::Error, {}, "Try 'bramblegate --help'"},
        {{"javascript:alert(1)"},
         Action::Error,
         {},
         "\"javascript:alert(1)\" is neither a web address nor a file"},
        // The toolkit's options and the engine's arguments are not ours.
        {{"-platform", "offscreen", "-reverse", "http://a.test/x?y=1#z", "--webEngineArgs", "--bogus"},
         Action::Run,
         {"http://a.test/x?y=1#z"},
         ""},
        // As typed into an address box; a file relative to where the program started.
        {{"example.org", "https://b.test/", "page one.html"},
         Action::Run,
         {"http://example.org", "https://b.test/", pageUrl},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line =
            CommandLine::Parse(QStringList{"/usr/bin/bramblegate"} + c.arguments, here.path());
        EXPECT_EQ(line.action(), c.action);
        EXPECT_EQ(line.Addresses(), c.addresses);
        EXPECT_TRUE(line.Text().contains(QString::fromUtf8(c.text))) << line.Text().toStdString();
        EXPECT_EQ(line.ExitCode(), c.action == Action::Error ? 2 : 0);
    }
}

} // namespace
