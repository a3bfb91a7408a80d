#pragma once

namespace h33 {

// Every text of the windows is Russian, whatever the user's locale: Qt's own
// dialogs (file dialogs, standard buttons) are made to speak it too. False
// when Qt's translations are not installed; the dialogs then stay English.
bool LoadQtTranslations();

}  // namespace h33
