#pragma once
// Texts written from the table of commands (CommandTable.h): the bash, zsh
// and fish completions of zr417-cli and the manual page's sections on
// options, commands and exit status. tools/mkclidocs.cpp writes them at build
// time; they are installed where each shell looks.
#include <QString>
#include <QStringList>

namespace zr::cli {

// `fields` are the names `set` takes before '=' (the settings fields, then
// model and band).
QString bashCompletion(const QStringList& fields);
QString zshCompletion(const QStringList& fields);
QString fishCompletion(const QStringList& fields);

// The manual page with the lines "@OPTIONS@", "@COMMANDS@" and "@EXIT_STATUS@"
// of `manTemplate` replaced by those sections in roff.
QString manualPage(const QString& manTemplate);

}  // namespace zr::cli
