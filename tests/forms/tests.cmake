deskword_add_test(forms_screen_test forms/ScreenTest.cpp)
