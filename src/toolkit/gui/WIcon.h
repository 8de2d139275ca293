#pragma once

// An icon of the program's resources, by id. Valid when the installed catalogue has it.
class WIcon {
public:
    WIcon() = default;
    explicit WIcon(int id);
    virtual ~WIcon() = default;
    virtual const char* className() const { return "WIcon"; }

    bool isValid() const { return valid_; }
    int id() const { return id_; }

private:
    int id_ = 0;
    bool valid_ = false;
};
