#pragma once
// Registers every work screen and menu command with the main window's registry by caption.
// main.cpp calls it before start-up; tests call it to open any screen with OpenScreen.
void RegisterWorkScreens();
