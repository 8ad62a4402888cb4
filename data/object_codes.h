// The object codes of a level map (the words 0x3000..0x3059 of the grid that stand for
// objects rather than tiles) and the goodie IDs that a box releases.
#pragma once

#include <cstdint>

// Object codes. A box releases the goodie named after it; the belt codes mark the two
// ends of a conveyor belt and stay in the grid.
constexpr uint16_t FirstObjectCode = 0x3000, LastObjectCode = 0x3059;
constexpr uint16_t ObjectBoxEmpty = 0x3000;
constexpr uint16_t ObjectElevator = 0x3001;
constexpr uint16_t ObjectBeltLeftStart = 0x3002;  // a belt moving to the left
constexpr uint16_t ObjectBeltLeftEnd = 0x3003;
constexpr uint16_t ObjectBeltRightStart = 0x3004;  // a belt moving to the right
constexpr uint16_t ObjectBeltRightEnd = 0x3005;
constexpr uint16_t ObjectBoxBoots = 0x3006;
constexpr uint16_t ObjectRocket = 0x3007;
constexpr uint16_t ObjectBoxHooks = 0x3008;
constexpr uint16_t ObjectFlameThrowerRight = 0x3009;
constexpr uint16_t ObjectFlameThrowerLeft = 0x300A;  // its right end stands on the code
constexpr uint16_t ObjectHoverBot = 0x300B;
constexpr uint16_t ObjectJumpBot = 0x300C;
constexpr uint16_t ObjectCannonBot = 0x300D;
constexpr uint16_t ObjectWheelBot = 0x300E;
constexpr uint16_t ObjectBoxPistol = 0x300F;
constexpr uint16_t ObjectTechBot = 0x3010;
constexpr uint16_t ObjectExitDoor = 0x3011;
constexpr uint16_t ObjectBoxDynamite = 0x3012;
constexpr uint16_t ObjectSnake = 0x3013;  // nine segments to the right
constexpr uint16_t ObjectMirror = 0x3014;
constexpr uint16_t ObjectBoxSoda = 0x3015;
constexpr uint16_t ObjectCrawlBotWallLeft = 0x3016;
constexpr uint16_t ObjectCrawlBotWallRight = 0x3017;
constexpr uint16_t ObjectBoxTurkey = 0x3018;
constexpr uint16_t ObjectFakeBridge = 0x3019;
constexpr uint16_t ObjectEnergyBeam = 0x301A;
constexpr uint16_t ObjectFanBlowingLeft = 0x301B;
constexpr uint16_t ObjectFanBlowingRight = 0x301C;
constexpr uint16_t ObjectBoxFootball = 0x301D;
constexpr uint16_t ObjectBoxJoystick = 0x301E;
constexpr uint16_t ObjectBoxDisk = 0x301F;
constexpr uint16_t ObjectBoxGlove = 0x3020;
constexpr uint16_t ObjectForceField = 0x3021;
constexpr uint16_t ObjectHelicopter = 0x3022;
constexpr uint16_t ObjectBalloonBox = 0x3023;
constexpr uint16_t ObjectCamera = 0x3024;
constexpr uint16_t ObjectLamp = 0x3025;
constexpr uint16_t ObjectArrowRight = 0x3026;
constexpr uint16_t ObjectArrowLeft = 0x3027;
constexpr uint16_t ObjectAlienPlant = 0x3028;
constexpr uint16_t ObjectBoxAtom = 0x3029;
constexpr uint16_t ObjectSign = 0x302A;
constexpr uint16_t ObjectReactor = 0x302B;
constexpr uint16_t ObjectNail = 0x302C;
constexpr uint16_t ObjectBoxFlag = 0x302D;
constexpr uint16_t ObjectBoxRadio = 0x302E;
constexpr uint16_t ObjectTeleporter0 = 0x302F;  // a pair: each leads to the other
constexpr uint16_t ObjectTeleporter1 = 0x3030;
constexpr uint16_t ObjectJumpingMine = 0x3031;
constexpr uint16_t ObjectHero = 0x3032;
constexpr uint16_t ObjectBoxAccessCard = 0x3033;
constexpr uint16_t ObjectCardSlot = 0x3034;
constexpr uint16_t ObjectGloveSlot = 0x3035;
constexpr uint16_t ObjectExtender = 0x3036;
constexpr uint16_t ObjectBoxLetterB = 0x3037;  // R, A and X follow
constexpr uint16_t ObjectBunnyBot = 0x303B;
constexpr uint16_t ObjectFlameBot = 0x303C;
constexpr uint16_t ObjectPoster = 0x303D;
constexpr uint16_t ObjectChain = 0x303E;
constexpr uint16_t ObjectBarrel = 0x303F;
constexpr uint16_t ObjectNote = 0x3040;
constexpr uint16_t ObjectMonitor = 0x3041;
constexpr uint16_t ObjectVillainFalls = 0x3042;    // beaten, he falls and crashes: victory
constexpr uint16_t ObjectVillainEscapes = 0x3043;  // beaten, he flies away
constexpr uint16_t ObjectKey0 = 0x3044;            // keys 0..3 follow
constexpr uint16_t ObjectKeyHole0 = 0x3048;        // key holes 0..3
constexpr uint16_t ObjectKeyDoor0 = 0x304C;        // key doors 0..3
// 0x3050..0x3056 place the goodie of that ID (below) on its own.
constexpr uint16_t ObjectMine = 0x3057;
constexpr uint16_t ObjectFloorSpikes = 0x3058;
constexpr uint16_t ObjectCeilingSpikes = 0x3059;

// Goodie IDs (SpawnGoodie, the content of a box). The first seven are object codes too.
constexpr uint16_t GoodieFootball = 0x3050;
constexpr uint16_t GoodieTurkey = 0x3051;
constexpr uint16_t GoodieSoda = 0x3052;
constexpr uint16_t GoodieDisk = 0x3053;
constexpr uint16_t GoodieJoystick = 0x3054;
constexpr uint16_t GoodieFlag = 0x3055;
constexpr uint16_t GoodieRadio = 0x3056;
constexpr uint16_t GoodieBalloon = 0xF000;
constexpr uint16_t GoodieBoots = 0xF001;
constexpr uint16_t GoodieHooks = 0xF002;
constexpr uint16_t GoodieGlove = 0xF003;
constexpr uint16_t GoodieAccessCard = 0xF004;
constexpr uint16_t GoodiePistol = 0xF005;
constexpr uint16_t GoodieAtom = 0xF00A;
constexpr uint16_t GoodieDynamite = 0xF00D;
constexpr uint16_t GoodieLetterB = 0xF101;  // letters R, A and X follow
