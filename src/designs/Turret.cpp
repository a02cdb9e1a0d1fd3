#include "designs/Turret.h"

#include "core/Messages.h"

namespace tarnwake::designs {

namespace {

// Open interval test: lo < r < hi.
constexpr bool Between(int r, int lo, int hi) {
    return lo < r && r < hi;
}
// Closed interval test: lo <= r <= hi.
constexpr bool Within(int r, int lo, int hi) {
    return lo <= r && r <= hi;
}

// The broadside arcs shared by turrets amidships, which fire on either beam but neither
// ahead nor astern.
constexpr bool EitherBeam(int r) {
    return Between(r, 45, 135) || Between(r, 225, 315);
}

} // namespace

bool IsLegalTurretPosition(char pos) {
    switch (pos) {
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case 'A':
    case 'B':
    case 'C':
    case 'D':
    case 'E':
    case 'F':
    case 'G':
    case 'H':
    case 'I':
    case 'J':
    case 'K':
    case 'L':
    case 'Q':
    case 'R':
    case 'S':
    case 'T':
    case 'V':
    case 'W':
    case 'X':
    case 'Y':
        return true;
    default:
        return false;
    }
}

bool TurretBears(char pos, int r, bool cdf, core::IMessages& messages) {
    switch (pos) {
    case '1':
        return !Within(r, 45, 225);
    case '2':
        return !Within(r, 135, 315);
    case '3':
        return Between(r, 135, 315);
    case '4':
        return Between(r, 45, 225);
    case '5':
    case '7':
        return Between(r, 210, 330);
    case '6':
    case '8':
        return Between(r, 30, 150);
    case 'A':
    case 'B':
        return !Within(r, 135, 225);
    case 'C':
    case 'Q':
    case 'R':
    case 'W':
        return EitherBeam(r);
    case 'D':
        return Between(r, 225, 340);
    case 'E':
        return Between(r, 20, 145);
    case 'F':
        return Between(r, 210, 335) || (cdf && Between(r, 55, 125));
    case 'G':
        return Between(r, 25, 150) || (cdf && Between(r, 235, 305));
    case 'H':
        return Between(r, 210, 330);
    case 'I':
        return Between(r, 30, 150);
    case 'J':
        return Between(r, 205, 330) || (cdf && Between(r, 55, 125));
    case 'K':
        return Between(r, 30, 155) || (cdf && Between(r, 235, 305));
    case 'L':
        return Between(r, 30, 150);
    case 'S':
        return Between(r, 200, 325);
    case 'T':
        return Between(r, 35, 160);
    case 'V':
    case 'X':
    case 'Y':
        return Between(r, 45, 315);
    default:
        messages.Warn(std::string("Warning! Illegal turret position: ") + pos);
        return false;
    }
}

int TurretRestBearing(const TTurret& turret, core::IMessages& messages) {
    switch (turret.Pos) {
    case '1':
    case '2':
    case 'A':
    case 'B':
    case 'D':
    case 'E':
    case 'F':
    case 'G':
    case 'L':
        return 0;
    case '3':
    case '4':
    case '7':
    case '8':
    case 'C':
    case 'J':
    case 'K':
    case 'Q':
    case 'R':
    case 'S':
    case 'T':
    case 'V':
    case 'W':
    case 'X':
    case 'Y':
        return turret.Pos == '7' ? 190 : turret.Pos == '8' ? 170 : 180;
    case '5':
        return 350;
    case '6':
        return 10;
    case 'H':
        return turret.Guns == 0 ? 350 : 0;
    case 'I':
        return turret.Guns == 0 ? 10 : 0;
    default:
        messages.Warn(std::string("Illegal turret position!") + turret.Pos);
        return 270;
    }
}

std::string TurretPositionName(char pos) {
    switch (pos) {
    case '1':
        return "Port forward";
    case '2':
        return "Stbd forward";
    case '3':
        return "Port aft";
    case '4':
        return "Stbd aft";
    case '5':
    case '6':
    case '7':
    case '8':
        return "";
    case 'A':
        return "Forward";
    case 'B':
        return "Forward superimposed";
    case 'C':
        return "Forward midships";
    case 'D':
        return "Port forward wing";
    case 'E':
        return "Starboard forward wing";
    case 'F':
        return "Port wing";
    case 'G':
        return "Starboard wing";
    case 'H':
        return "Port midships wing";
    case 'I':
        return "Starboard midships wing";
    case 'J':
        return "Port wing";
    case 'K':
        return "Starboard wing";
    case 'L':
        return "Forward midships";
    case 'Q':
        return "Midships";
    case 'R':
        return "Midships aft";
    case 'S':
        return "Port aft wing";
    case 'T':
        return "Starboard aft wing";
    case 'V':
        return "Midships aft superimposed";
    case 'W':
        return "Midships aft";
    case 'X':
        return "Aft superimposed";
    case 'Y':
        return "Aft";
    default:
        return "Illegal turret position!";
    }
}

bool MountCanFire(char pos, int r) {
    switch (pos) {
    case 'A':
        return r < 30 || r > 330;
    case 'B':
        return r < 35 || r > 325;
    case 'F':
    case 'L':
        return Between(r, 240, 300);
    case 'G':
    case 'M':
        return Between(r, 60, 120);
    case 'H':
    case 'J':
        return Within(r, 226, 314);
    case 'I':
    case 'K':
        return Within(r, 46, 134);
    case 'P':
    case 'Q':
    case 'R':
    case 'U':
    case 'V':
        return Between(r, 45, 135) || Within(r, 226, 314);
    case 'Y':
        return Between(r, 150, 210);
    default:
        return false;
    }
}

bool MountIsSubmerged(char pos) {
    switch (pos) {
    case 'A':
    case 'F':
    case 'G':
    case 'L':
    case 'M':
    case 'Y':
        return true;
    default:
        return false;
    }
}

std::string MountPositionName(char pos) {
    switch (pos) {
    case 'A':
        return "Forward (sub)";
    case 'B':
        return "Forward";
    case 'F':
    case 'L':
        return "Port broadside (sub)";
    case 'G':
    case 'M':
        return "Starboard broadside (sub)";
    case 'H':
    case 'J':
        return "Port broadside swivel mount";
    case 'I':
    case 'K':
        return "Starboard broadside swivel mount";
    case 'P':
    case 'Q':
    case 'R':
    case 'U':
    case 'V':
        return "Midships swivel mount";
    case 'Y':
        return "Aft (sub)";
    default:
        return std::string("Illegal mount designation: ") + pos;
    }
}

} // namespace tarnwake::designs
