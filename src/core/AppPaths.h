#pragma once

#include <QString>

// Where the program keeps its files. Everything written lives under the data folder of the OS
// user ($XDG_DATA_HOME/Bramblegate); what the program ships (its pages, bghelper) is only read.
namespace AppPaths {

// $XDG_DATA_HOME/Bramblegate (created 0700 on first use). Also the "installation folder" for
// the files the program writes: Log, Blank.htm, the search pages.
QString DataFolder();
// The XDG data folder itself ($XDG_DATA_HOME), the counterpart of the application-data folder.
QString AppDataFolder();
// The folder of the running executable.
QString ExecutableFolder();
// Where the program's shipped files are (its pages, under "pages"): share/bramblegate beside the
// installed executable's bin folder, or share/bramblegate in the build folder beside the
// executable. Read only.
QString ProgramDataFolder();
// A program the installed tree keeps in libexec/bramblegate (bghelper), or the one beside the
// executable in the build folder. The installed place when neither exists.
QString HelperProgram(const QString& name);
// Tests point the program at the build folder's files (an empty text: back to the lookup).
void SetProgramDataFolder(const QString& folder);
// The settings store file.
QString SettingsFile();
// The favorites root (DataFolder()/Favorites).
QString FavoritesFolder();
// The folder that holds every user's web profile folder.
QString ProfilesFolder();
// Per-user folder for the user's web profile (cookies, cache); the name is made safe.
QString UserProfileFolder(const QString& userName);

// Makes a folder (and its parents) and restricts it to its owner.
bool MakePrivateFolder(const QString& path);

} // namespace AppPaths
