#pragma once

class Database;

// A small city to try the workstation on: two cities, six districts, thirty streets, every distance,
// six car models and colours, twelve drivers with shifts (ten of them free on the line), two
// dispatchers with passwords, and the done orders of the last three days.
namespace DemoData {

void fill(Database &db);

struct Dispatcher
{
    const char *surname;
    const char *name;
    const char *patronymic;
    const char *password;
};
// The demo dispatchers and their passwords, as the README gives them.
extern const Dispatcher dispatchers[2];

} // namespace DemoData
