#pragma once

#include <QString>
#include <QStringList>

// What the program was started with. Read before anything else of the program exists, so that
// --help and --version answer without a display and a mistyped option ends with a clear word:
//
//   bramblegate [address...]    opens the addresses after login (or in the copy already running)
//   bramblegate --help | --version
//
// The display options of the toolkit (-platform, -style, ...) and whatever follows
// --webEngineArgs belong to the toolkit and the engine and are let through.
class CommandLine {
public:
    enum class Action {
        Run,     // start the program (with Addresses, if any)
        Help,    // print Text to standard output, exit 0
        Version, // the same
        Error,   // print Text to standard error, exit 2
    };

    // `arguments` as the process got them (the program's name first); addresses that name
    // files are taken relative to `workingFolder`.
    static CommandLine Parse(const QStringList& arguments, const QString& workingFolder);

    // The address a command-line argument stands for: a web address as typed into an address
    // box ("example.org" is http://example.org), or an existing file; empty when it is neither
    // (another scheme, such as javascript: or data:).
    static QString AddressFor(const QString& argument, const QString& workingFolder);

    Action RequestedAction() const { return m_action; }
    const QStringList& Addresses() const { return m_addresses; }
    const QString& Text() const { return m_text; }
    int ExitCode() const { return m_action == Action::Error ? 2 : 0; }

    // Prints Text where it belongs; returns ExitCode().
    int Answer() const;

private:
    Action m_action = Action::Run;
    QStringList m_addresses;
    QString m_text;
};
