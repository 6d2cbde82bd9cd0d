// Marks a Japanese text of the program's own that is shown to the user where it is defined apart
// from the place that shows it: a table of captions, a model's message. The text stays as it is
// (models hold Japanese whatever the language); the widget or message box that shows it puts it
// through zbq::ui::shown() (platform/ui/language.h), and scripts/i18n collects every marked text
// for the English translation. Qt-free, so models may use it.
#pragma once

#define ZBQ_SHOWN(text) text
