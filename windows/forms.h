#pragma once
// One struct that holds every window of the program, created once by main()
// in a fixed order and handed by reference to each window: the program's
// form variables without globals. Windows include the headers of the forms
// they use; windows/ never includes editors/ or app/ (those wire callbacks).

class QTimer;

namespace gnc {

struct MainState;
class LinkController;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm10;
class TForm11;

struct Forms {
    MainState* state = nullptr; // owned by TForm1
    LinkController* controller = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;

    TForm1* form1 = nullptr;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    TForm4* form4 = nullptr;
    TForm5* form5 = nullptr;
    TForm6* form6 = nullptr;
    TForm7* form7 = nullptr;
    TForm8* form8 = nullptr;
    TForm10* form10 = nullptr;
    TForm11* form11 = nullptr;
};

} // namespace gnc
