// The sprite frames that the game draws by number (DrawSprite and the frame tables of the
// actors): the first frame of each picture; its phases follow it. Frames 0-183 are the
// hero's, drawn through his frame table (world/player.h).
#pragma once

// Robots.
constexpr int SpriteHoverBotBody = 240;   // 6 frames, turning from left to right
constexpr int SpriteHoverBotRotor = 246;  // 4 phases, under the body
constexpr int SpriteJumpBotLeft = 250;    // standing, about to fire, in the air (2 x 3)
constexpr int SpriteJumpBotRight = 262;
constexpr int SpriteCannonBot = 274;          // 4 frames of 2: two facing left, two facing right
constexpr int SpriteWheelBot = 288;           // 8 frames of 4: rolling, rolling with the shield
constexpr int SpriteTechBot = 320;            // 3 walking frames, then 7 breaking up
constexpr int SpriteBunnyLeft = 354;          // 3 hopping frames of 2
constexpr int SpriteBunnyRight = 468;         // 3 hopping frames, facing the viewer, facing away
constexpr int SpriteSnake = 360;              // 8 phases
constexpr int SpriteCrawlBotWallLeft = 376;   // 4 leg phases
constexpr int SpriteCrawlBotWallRight = 380;  // 4 leg phases
constexpr int SpriteHelicopterBody = 404;     // 3 headings of 4: left, hovering, right
constexpr int SpriteHelicopterRotor = 416;    // 2 rotor phases of 4 for each heading
constexpr int SpriteFlameBot = 480;           // 6 frames of 2: 3 walking left, 3 right
constexpr int SpriteVillain = 510;            // 4 frames of 2 x 2: two facing left, two right

// Shots and effects.
constexpr int SpriteFireball = 282;    // shown from its second frame on: 5 frames follow
constexpr int SpriteFloorBlast = 330;  // 6 frames
constexpr int SpriteMetalShard = 386;  // 5 frames of 2
constexpr int SpriteWhiteFlash = 447;
constexpr int SpriteFlashRing = 448;    // 4 quarters around the flash
constexpr int SpriteParticle = 529;     // 4 colours
constexpr int SpriteHeroShot = 534;     // 2 phases; also a firepower unit in the panel
constexpr int SpriteDust = 547;         // shown from its second frame on: 4 frames follow
constexpr int SpriteSmokeCloud = 562;   // shown from its second frame on: 4 frames follow
constexpr int SpriteEnemyShot = 567;    // 2 phases flying left, 2 flying right
constexpr int SpriteHeroMuzzle = 574;   // + direction
constexpr int SpriteEnemyMuzzle = 576;  // + direction

// Hazards and targets.
constexpr int SpriteDynamite = 352;  // 2 blinking phases
constexpr int SpriteCamera = 440;    // looking left, down, right
constexpr int SpriteMine = 463;
constexpr int SpriteReactorWhite = 495;  // a reactor column flashing when hit
constexpr int SpriteReactor = 618;       // 5 phases, stacked three high
constexpr int SpriteRocketNose = 539;
constexpr int SpriteRocketBody = 540;
constexpr int SpriteRocketBase = 541;
constexpr int SpriteRocketFinLeft = 542;
constexpr int SpriteRocketFinRight = 543;
constexpr int SpriteRocketFlame = 544;
constexpr int SpriteRocketTail = 545;
constexpr int SpriteFlameThrowerRight = 552;  // pilot flame, body x2, tip x2
constexpr int SpriteFlameThrowerLeft = 557;   // the same, flaming to the left
constexpr int SpriteSignLeft = 611;
constexpr int SpriteSignRight = 612;
constexpr int SpriteNailDown = 623;
constexpr int SpriteNailRisen = 624;
constexpr int SpriteFloorSpikes = 676;
constexpr int SpriteCeilingSpikes = 677;

// Interactive items and level mechanics.
constexpr int SpriteExitDoor = 336;           // 4 frames of 2 x 2: closed to open
constexpr int SpriteFan = 396;                // 4 blade phases of 2, one above the other
constexpr int SpriteTeleporter = 452;         // 3 x 3
constexpr int SpriteTeleporterBolt = 461;     // 2 phases of lightning on top
constexpr int SpriteTeleporterSparkle = 464;  // 2 phases, in the centre
constexpr int SpriteTeleporterLight = 466;    // 2 phases, on the right pillar
constexpr int SpriteMonitorStand = 496;       // 2, the bottom row of every monitor frame
constexpr int SpriteMonitorScreen = 498;      // 6 frames of 2: 3 static, villain left, ahead, right
constexpr int SpriteElevator = 533;
constexpr int SpriteEnergyBeam = 578;  // 4 phases, then 4 while touching the hero
constexpr int SpriteForceField = 593;  // 4 phases
constexpr int SpriteCardSlot = 633;    // 8 phases while locked
constexpr int SpriteCardSlotOpen = 641;
constexpr int SpriteGloveSlotDark = 642;
constexpr int SpriteGloveSlotLit = 643;
constexpr int SpriteGloveSlotLeft = 644;
constexpr int SpriteGloveSlotRight = 645;
constexpr int SpriteNote = 651;
constexpr int SpriteKeyDoor = 656;      // 8 frames, closed to almost open
constexpr int SpriteKeyHoleDark = 664;  // the blink of a locked hole
constexpr int SpriteKeyHole = 665;      // + key number

// Decorations placed by the map.
constexpr int SpriteLamp = 443;
constexpr int SpriteArrowRight = 444;
constexpr int SpriteArrowLeft = 445;
constexpr int SpriteAlienPlant = 446;
constexpr int SpritePoster = 492;
constexpr int SpriteChain = 493;
constexpr int SpriteBarrel = 494;

// Crates, goodies and items (the items also show in the status panel).
constexpr int SpriteSupplyCrate = 528;
constexpr int SpriteBonusCrate = 628;
constexpr int SpriteFoodCrate = 629;
constexpr int SpriteSoda = 368;    // 4 phases, then 4 leaking
constexpr int SpriteTurkey = 572;  // raw, cooked
constexpr int SpriteFootball = 586;
constexpr int SpriteJoystick = 587;
constexpr int SpriteDisk = 588;
constexpr int SpriteFlag = 625;   // 3 phases
constexpr int SpriteRadio = 630;  // 3 phases
constexpr int SpriteAtom = 602;   // 9 phases
constexpr int SpriteBalloon = 597;
constexpr int SpriteBalloonString = 598;  // 3 phases, under the balloon
constexpr int SpriteBalloonBurst = 601;
constexpr int SpriteLetter = 646;  // + letter number: B, R, A, X
constexpr int SpriteKey = 652;     // + key number
constexpr int SpritePistol = 571;
constexpr int SpriteBoots = 538;
constexpr int SpriteHooks = 546;
constexpr int SpriteGlove = 591;
constexpr int SpriteAccessCard = 592;

// Popups, the status panel, menus and the episode's end.
constexpr int SpriteScorePopup = 678;  // 2 phases for each of 100 .. 10000 points
constexpr int SpriteBonusPopup = 692;  // 4 for each level-end bonus: left x2, right x2
constexpr int SpriteHealthBar = 589;
constexpr int SpriteBallCursor = 613;   // 4 phases
constexpr int SpriteShipRising = 669;   // 2 phases
constexpr int SpriteShipLeaving = 671;  // 5 frames
