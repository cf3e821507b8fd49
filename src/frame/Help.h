#pragma once

#include <QString>

// The program's help: local pages served by the program itself (ProgramPages), opened in a
// stand-alone window by the frame.
namespace Help {

// The address of the page of a help topic: "" or "Contents" the contents page; the topics the
// dialogs' Help buttons name ("Login", "AddEditLink", "DeleteUser", "Options", "59", ...) their
// page; an unknown topic the contents page.
QString TopicUrl(const QString& topic);

} // namespace Help
