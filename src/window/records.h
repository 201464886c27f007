#pragma once

#include <string>

// The stored initial property records of the main window and its controls.
namespace records {

const std::string& Window();
const std::string& comPort1();
const std::string& pmPorts();
const std::string& btOn();
const std::string& btOff();
const std::string& clBrightness();
const std::string& taReceived();
const std::string& taSent();
const std::string& Label1();
const std::string& Label2();
const std::string& Label3();
const std::string& lbVersion();
const std::string& lbBrightness();
const std::string& Label6();
const std::string& lbID();
const std::string& pmFreq();

} // namespace records
