#pragma once

namespace lt {

// Puts Qt's own texts (the file dialogs, the standard buttons, the overwrite
// prompt) into Simplified Chinese, like every caption of the program,
// whatever the user's locale. The program's own texts are not Qt's and stay
// as they are. False when the translations are not installed: Qt's texts
// then stay English.
bool installChineseQtTexts();

} // namespace lt
