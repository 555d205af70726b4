// strings.js: every word the page says of its own, in English and in Korean, by key. A key is
// the same in both tables; {name} stands for a value given where the text is used, and `code`
// is shown as code. The menu's labels and the program's output are the program's, not here.
var kStrings = {
  en: {
    pageTitle: "A turning cube: transformation order, timers and floating point",
    description: "A red cube that turns, revolves, grows and shrinks in WebGL, chosen from a " +
        "pop-up menu, with a console of single- and double-precision arithmetic " +
        "experiments and the animation's trace beside it.",
    heading: "Transformation order, timers and floating point: a turning cube",
    languages: "Language",
    sceneTitle: "Drawing",
    canvasStarting: "The drawing: red axes and a red cube",
    canvasName: "The drawing: red axes and a red cube, draw mode {mode}: {motion}",
    motion1: "it spins about its own centre at x = 0.6",
    motion2: "it spins about the origin",
    motion3: "it revolves round the origin at radius 0.6",
    motion4: "it revolves round the origin and spins as it goes",
    motion5: "it spins at the origin while it grows and shrinks",
    menuName: "Draw mode",
    helpMouse: "Right-click the drawing, or use the Draw mode button, for the menu. On the " +
        "focused drawing, K pauses and resumes and . steps one tick while paused. The address " +
        "holds the run: send the link to share it.",
    helpTouch: "Touch and hold the drawing, or tap the Draw mode button, for the menu. The " +
        "address holds the run: send the link to share it.",
    consoleTitle: "Console",
    dropped: "{count} earlier lines are not shown here; the browser's console log has them.",
    frameTitle: "This frame",
    hold: "Hold",
    frameNumber: "Tick {number}",
    heldAt: "Held at tick {number}",
    callsTitle: "Model-view calls, in order",
    callsNote: "Each call multiplies the matrix on the right, so the cube meets them last to " +
        "first: the call just before the cube moves it first.",
    matrixTitle: "Model-view matrix as the cube is drawn",
    variablesTitle: "Scene variables",
    floatsNote: "Every float is shown exactly: the shortest decimal that reads back as the same " +
        "float, with its bits. The console prints with `%f`, which rounds to six decimals, so a " +
        "scale of 2.0000002 (0x40000001) shows there as 2.000000.",
    noWebGL: "This page draws with WebGL, which this browser does not offer here: it may be " +
        "turned off, or the graphics driver may not support it.",
    notStarted: "The program could not be started ({reason}). This browser may block " +
        "WebAssembly here: try another browser, or open the page from a web server.",
    stopped: "The program stopped: {reason}",
    graphicsLost: "The browser has taken the graphics away from this page (the WebGL context " +
        "was lost), so the drawing has stopped; the program, its clock and the console go on. " +
        "A graphics driver that restarts, or a laptop that switches graphics, can do this. " +
        "When the graphics are back, a button here starts the page again.",
    startAgain: "Start again",
    clockName: "The program's clock",
    pause: "Pause",
    step: "Step",
    speed: "Speed",
    runningAt: "Tick {tick}, {seconds} s of program time",
    pausedAt: "Paused at tick {tick}, {seconds} s",
    linkTooLong: "This address is {found} characters long; an address holds a run in at most " +
        "{limit}.",
    linkMalformed: "This address does not hold a run in the page's form.",
    linkUnknownEntry: "This address names entry {found}: the menu has entries 1 to {limit}.",
    linkBackwards: "This address's run goes back in time, from tick {limit} to tick {found}.",
    linkTooFar: "This address's run goes to tick {found}, beyond the hour of program time the " +
        "page replays.",
    linkRefused: "The program could not replay this address's run.",
    linkFresh: "The program starts afresh.",
    linkTooManyAnimations: "This address starts {found} animations: a link starts at most {limit}.",
    linkTooMuchTrace: "This address's animations would run {found} ticks in all, longer than " +
        "three of them for an hour.",
    linkUnknownCall: "Call {position} in this address's calls is not one the page draws with.",
    linkArgumentCount: "Call {position} in this address's calls has {found} arguments; it takes " +
        "{limit}.",
    linkBadNumber: "Argument {found} of call {position} in this address's calls is not a finite " +
        "number.",
    linkTooManyCalls: "This address holds {found} calls: a list holds at most {limit}.",
    copyLink: "Copy link",
    linkField: "Link to this moment",
    linkCopied: "Link copied: it opens the run paused at this tick.",
    linkSelected: "The browser did not let the page copy: the link is selected in the field, " +
        "ready to copy.",
    linkBeyond: "This run is longer than a link replays, so there is no link to copy.",
    canvasSize: "Size",
    bits: "Bits",
    matrixAfter: "After call {position}: {call}",
    editorTitle: "Your calls",
    editCalls: "Edit the calls",
    editorNote: "The cube is drawn with these calls, in this order. Change the order of " +
        "glTranslatef, glRotatef and glScalef and see where the cube goes. A value can be a " +
        "number or `spinAngle` or `scaleFactor`, which the program's timers change.",
    editorTools: "Undo, redo and the draw modes' calls",
    undo: "Undo",
    redo: "Redo",
    resetCalls: "Reset",
    preset: "Calls of",
    presetMode: "draw mode {mode}",
    usePreset: "Use",
    callListTitle: "Calls, in order",
    showNone: "Show no call's frame",
    addTools: "Add a call",
    addKind: "Call",
    addPlace: "Place",
    placeEnd: "at the end",
    placeBefore: "before {position}: {name}",
    addCall: "Add call",
    callsLimit: "The list holds 16 calls, the most it can: delete one to add another.",
    exactNote: "A quarter turn, glRotatef(90,0,0,1), shows a cosine of 6.123234e-17, not 0: " +
        "π/2 radians cannot be held exactly in binary, and the number nearest it is a little " +
        "short of it, so its cosine is not exactly 0. Every float here is shown exactly.",
    callRow: "{position} of {count}: {name}",
    showCall: "Show the frame after call {position}",
    argumentName: "{argument} of call {position}, {name}",
    moveUp: "Up",
    moveDown: "Down",
    moveUpName: "Move call {position}, {name}, up",
    moveDownName: "Move call {position}, {name}, down",
    deleteCall: "Delete",
    deleteName: "Delete call {position}, {name}",
    depth: "depth {depth}",
    markOpen: "pushed and left open",
    markUnmatched: "nothing pushed to pop: not sent",
    moved: "{name} moved to {position} of {count}.",
    added: "{name} added at {position} of {count}.",
    deleted: "{name} deleted; {count} calls left.",
    argumentIncomplete: "Not complete yet: the previous value stays.",
    argumentEmpty: "Empty: give a number; the previous value stays.",
    argumentNotANumber: "Not a number: the previous value stays.",
    argumentInfinite: "Infinite: a float must be finite; the previous value stays.",
    argumentOutOfRange: "Beyond the float range: the previous value stays.",
    argumentMalformed: "Not a number or spinAngle or scaleFactor: the previous value stays.",
    callsUnknownCall: "Call {position} of this list is not one of the seven calls the editor " +
        "knows.",
    callsArgumentCount: "Call {position} of this list has {found} values; it takes {limit}.",
    callsBadNumber: "Value {found} of call {position} of this list is not a finite float.",
    callsTooManyCalls: "This list has {found} calls: a list holds at most {limit}.",
    callsMalformed: "This list of calls is not written in the page's form.",
    callsRefused: "The program could not use this list of calls.",
    droppedReplayed: "{count} earlier lines, of the run replayed from the address, are not " +
        "shown here. The replay did not write them to the browser's console log either.",
    droppedSome: "{count} earlier lines are not shown here. The first {replayed}, of the run " +
        "replayed from the address, are in no log; the browser's console log has the rest.",
    modeButton: "Draw mode {mode}: {motion}",
    modeButtonStarting: "Draw mode",
    shortMotion1: "spins about its own centre",
    shortMotion2: "spins about the origin",
    shortMotion3: "revolves round the origin",
    shortMotion4: "revolves and spins",
    shortMotion5: "spins, grows and shrinks",
  },
  ko: {
    pageTitle: "회전하는 큐브: 변환 순서와 타이머, 부동소수점",
    description: "WebGL로 그린 빨간 큐브가 팝업 메뉴에서 고른 대로 자전하고, 공전하고, " +
        "커지고 작아집니다. 옆의 콘솔에는 단정밀도와 배정밀도 부동소수점 연산 실험의 결과와 " +
        "애니메이션의 추적 출력이 나옵니다.",
    heading: "변환 순서와 타이머, 부동소수점: 회전하는 큐브",
    languages: "언어",
    sceneTitle: "실행 화면",
    canvasStarting: "실행 화면: 빨간 좌표축과 빨간 큐브",
    canvasName: "실행 화면: 빨간 좌표축과 빨간 큐브, 그리기 모드 {mode}: {motion}",
    motion1: "x = 0.6에 놓인 큐브가 자기 중심을 기준으로 자전합니다",
    motion2: "큐브가 원점을 기준으로 회전합니다",
    motion3: "큐브가 원점을 중심으로 반지름 0.6인 원을 따라 공전합니다",
    motion4: "큐브가 원점을 중심으로 공전하면서 자전합니다",
    motion5: "큐브가 원점에서 회전하면서 커졌다 작아집니다",
    menuName: "그리기 모드",
    helpMouse: "실행 화면에서 마우스 오른쪽 버튼을 누르거나 그리기 모드 버튼을 누르면 메뉴가 " +
        "열립니다. 실행 화면에 포커스가 있을 때 K를 누르면 일시 정지하거나 다시 실행하고, " +
        "일시 정지 중에 .을 누르면 한 틱씩 진행합니다. 주소에 실행 기록이 담기므로 링크를 " +
        "보내면 같은 실행을 함께 볼 수 있습니다.",
    helpTouch: "실행 화면을 길게 누르거나 그리기 모드 버튼을 누르면 메뉴가 열립니다. 주소에 " +
        "실행 기록이 담기므로 링크를 보내면 같은 실행을 함께 볼 수 있습니다.",
    consoleTitle: "콘솔",
    dropped: "앞선 {count}줄은 여기에 표시하지 않습니다. 이 줄들은 브라우저의 콘솔 로그에 " +
        "남아 있습니다.",
    frameTitle: "현재 프레임",
    hold: "고정",
    frameNumber: "틱 {number}",
    heldAt: "틱 {number}에서 고정됨",
    callsTitle: "모델뷰 변환 함수 호출 (호출 순서대로)",
    callsNote: "각 호출의 변환 행렬은 현재 행렬의 오른쪽에 곱해지므로, 큐브에는 마지막 호출부터 거꾸로 " +
        "적용됩니다. 큐브를 그리기 바로 전의 호출이 큐브를 가장 먼저 움직입니다.",
    matrixTitle: "큐브를 그릴 때의 모델뷰 행렬",
    variablesTitle: "장면 변수",
    floatsNote: "모든 float 값을 정확하게 보여 줍니다. 같은 float으로 다시 읽히는 가장 짧은 " +
        "십진수와 그 비트 패턴입니다. 콘솔은 `%f`로 출력하여 소수점 아래 일곱째 자리에서 " +
        "반올림하여 여섯째 자리까지 나타내므로, 크기 배율 2.0000002 (0x40000001)는 콘솔에 2.000000으로 나옵니다.",
    noWebGL: "이 페이지는 WebGL로 그리는데, 이 브라우저에서는 지금 WebGL을 쓸 수 없습니다. " +
        "WebGL이 꺼져 있거나 그래픽 드라이버가 지원하지 않을 수 있습니다.",
    notStarted: "프로그램을 시작할 수 없습니다 ({reason}). 이 브라우저가 여기서 WebAssembly " +
        "실행을 막고 있을 수 있습니다. 다른 브라우저를 쓰거나 웹 서버에서 페이지를 여세요.",
    stopped: "프로그램이 멈췄습니다: {reason}",
    graphicsLost: "WebGL 컨텍스트 손실이 일어나 그림을 더 그릴 수 없습니다. 프로그램과 " +
        "프로그램 시계, 콘솔은 계속 동작합니다. 그래픽 드라이버가 다시 시작되거나 노트북이 " +
        "다른 그래픽 장치로 전환되면 이런 일이 생길 수 있습니다. WebGL 컨텍스트가 복구되면 " +
        "여기에 페이지를 다시 시작하는 버튼이 나타납니다.",
    startAgain: "다시 시작",
    clockName: "프로그램 시계",
    pause: "일시 정지",
    step: "한 틱 진행",
    speed: "속도",
    runningAt: "틱 {tick}, 프로그램 시간 {seconds}초",
    pausedAt: "틱 {tick}({seconds}초)에서 일시 정지됨",
    linkTooLong: "이 주소는 {found}자입니다. 실행 기록을 담는 주소는 {limit}자까지만 " +
        "쓸 수 있습니다.",
    linkMalformed: "이 주소에는 이 페이지가 쓰는 형식의 실행 기록이 없습니다.",
    linkUnknownEntry: "이 주소에는 메뉴에 없는 {found}번 항목이 들어 있습니다. 메뉴 항목은 " +
        "1번부터 {limit}번까지입니다.",
    linkBackwards: "이 주소의 실행 기록은 시간 순서가 맞지 않습니다(틱 {limit} 다음에 " +
        "틱 {found}).",
    linkTooFar: "이 주소의 실행 기록은 틱 {found}까지 이어져, 이 페이지가 재현하는 길이" +
        "(프로그램 시간 1시간)보다 깁니다.",
    linkRefused: "프로그램이 이 주소의 실행 기록을 재현하지 못했습니다.",
    linkFresh: "프로그램을 처음부터 시작합니다.",
    linkTooManyAnimations: "이 주소는 애니메이션을 {found}개 시작합니다. 링크 하나로 시작할 수 " +
        "있는 애니메이션은 {limit}개까지입니다.",
    linkTooMuchTrace: "이 주소의 애니메이션은 모두 합해 {found}틱 동안 실행되어, 애니메이션 " +
        "세 개를 1시간 동안 실행하는 것보다 깁니다.",
    linkUnknownCall: "이 주소의 {position}번째 호출은 이 페이지에서 쓸 수 있는 함수가 아닙니다.",
    linkArgumentCount: "이 주소의 {position}번째 호출에는 인자가 {found}개 있습니다. 이 함수는 " +
        "인자를 {limit}개 받습니다.",
    linkBadNumber: "이 주소의 {position}번째 호출에서 {found}번째 인자가 유한한 수가 아닙니다.",
    linkTooManyCalls: "이 주소에는 호출이 {found}개 있습니다. 호출은 {limit}개까지만 쓸 수 " +
        "있습니다.",
    copyLink: "링크 복사",
    linkField: "지금 이 순간의 링크",
    linkCopied: "링크를 복사했습니다. 이 링크를 열면 지금 이 틱에서 일시 정지된 실행을 볼 수 " +
        "있습니다.",
    linkSelected: "브라우저가 복사를 허용하지 않았습니다. 입력란에 링크가 선택되어 있으니 " +
        "직접 복사하세요.",
    linkBeyond: "이 실행은 링크로 재현할 수 있는 길이보다 길어서 복사할 링크가 없습니다.",
    canvasSize: "크기",
    bits: "비트 보기",
    matrixAfter: "{position}번째 호출 뒤: {call}",
    editorTitle: "나만의 호출",
    editCalls: "호출 편집하기",
    editorNote: "큐브는 아래 호출을 위에서부터 차례대로 실행하여 그립니다. glTranslatef, " +
        "glRotatef, glScalef의 순서를 바꾸어 큐브가 어디에 놓이는지 살펴보세요. 값에는 숫자나 " +
        "`spinAngle`, `scaleFactor`를 쓸 수 있으며, 이 두 변수는 프로그램의 타이머가 바꿉니다.",
    editorTools: "되돌리기, 다시 실행, 그리기 모드의 호출",
    undo: "되돌리기",
    redo: "다시 실행",
    resetCalls: "처음으로",
    preset: "불러올 호출",
    presetMode: "그리기 모드 {mode}",
    usePreset: "불러오기",
    callListTitle: "호출 목록 (실행 순서대로)",
    showNone: "좌표계 표시 안 함",
    addTools: "호출 추가",
    addKind: "호출",
    addPlace: "위치",
    placeEnd: "맨 끝",
    placeBefore: "{position}번 {name} 앞",
    addCall: "호출 추가",
    callsLimit: "호출은 16개까지 넣을 수 있습니다. 더 추가하려면 먼저 하나를 삭제하세요.",
    exactNote: "90도 회전 glRotatef(90,0,0,1)의 코사인은 0이 아니라 6.123234e-17로 나옵니다. " +
        "π/2 라디안은 이진수로 정확히 나타낼 수 없고, 가장 가까운 값이 π/2보다 조금 작아서 " +
        "코사인도 정확히 0이 되지 않기 때문입니다. 여기의 float 값은 모두 정확하게 나타냅니다.",
    callRow: "{count}개 중 {position}번: {name}",
    showCall: "{position}번 호출 뒤의 좌표계 보기",
    argumentName: "{position}번 호출 {name}의 {argument}",
    moveUp: "위로",
    moveDown: "아래로",
    moveUpName: "{position}번 호출 {name}을(를) 위로",
    moveDownName: "{position}번 호출 {name}을(를) 아래로",
    deleteCall: "삭제",
    deleteName: "{position}번 호출 {name} 삭제",
    depth: "깊이 {depth}",
    markOpen: "넣은 행렬을 꺼내지 않음",
    markUnmatched: "꺼낼 행렬이 없어 실행하지 않음",
    moved: "{name}이(가) {count}개 중 {position}번으로 옮겨졌습니다.",
    added: "{name}을(를) {count}개 중 {position}번에 추가했습니다.",
    deleted: "{name}을(를) 삭제했습니다. 호출이 {count}개 남았습니다.",
    argumentIncomplete: "아직 다 입력하지 않았습니다. 이전 값을 그대로 씁니다.",
    argumentEmpty: "값이 비어 있습니다. 숫자를 입력하세요. 이전 값을 그대로 씁니다.",
    argumentNotANumber: "숫자가 아닙니다(NaN). 이전 값을 그대로 씁니다.",
    argumentInfinite: "무한대는 쓸 수 없습니다. 이전 값을 그대로 씁니다.",
    argumentOutOfRange: "float로 나타낼 수 있는 범위를 벗어났습니다. 이전 값을 그대로 씁니다.",
    argumentMalformed: "숫자나 spinAngle, scaleFactor가 아닙니다. 이전 값을 그대로 씁니다.",
    callsUnknownCall: "이 목록의 {position}번 호출은 편집기에서 쓸 수 있는 일곱 가지 호출이 " +
        "아닙니다.",
    callsArgumentCount: "이 목록의 {position}번 호출에 값이 {found}개 있습니다. 이 호출에는 " +
        "값이 {limit}개 필요합니다.",
    callsBadNumber: "이 목록의 {position}번 호출의 {found}번째 값이 유한한 float가 아닙니다.",
    callsTooManyCalls: "이 목록에는 호출이 {found}개 있습니다. 호출은 {limit}개까지만 쓸 수 " +
        "있습니다.",
    callsMalformed: "이 호출 목록은 이 페이지가 쓰는 형식이 아닙니다.",
    callsRefused: "프로그램이 이 호출 목록을 쓸 수 없었습니다.",
    droppedReplayed: "주소의 실행 기록을 재현하며 출력한 앞선 {count}줄은 여기에 표시하지 " +
        "않습니다. 재현한 줄은 브라우저의 콘솔 로그에도 기록하지 않았습니다.",
    droppedSome: "앞선 {count}줄은 여기에 표시하지 않습니다. 그중 처음 {replayed}줄은 주소의 " +
        "실행 기록을 재현하며 출력한 것이라 어디에도 남아 있지 않고, 나머지는 브라우저의 " +
        "콘솔 로그에 남아 있습니다.",
    modeButton: "그리기 모드 {mode}: {motion}",
    modeButtonStarting: "그리기 모드",
    shortMotion1: "x = 0.6에서 자전",
    shortMotion2: "원점을 기준으로 회전",
    shortMotion3: "원점을 중심으로 공전",
    shortMotion4: "공전하면서 자전",
    shortMotion5: "회전하면서 커졌다 작아짐",
  },
};
