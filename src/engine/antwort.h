// The answers to a question and the buttons it offers.
#pragma once

namespace quintaro {

enum class Antwort { Ja, Nein, Abbrechen };

enum class Knoepfe { JaNein, JaNeinAbbrechen };

}  // namespace quintaro
