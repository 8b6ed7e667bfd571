// What the launcher says (code page 949).
#pragma once

constexpr char kErrorCaption[] = "오류";
constexpr char kDamagedText[] = "설치 파일이 손상되었습니다. 다시 내려받아 주십시오.";
constexpr char kNoFolderText[] = "임시 폴더를 만들 수 없어 설치를 시작하지 못했습니다.";
constexpr char kCannotWriteText[] =
    "설치 파일을 임시 폴더에 풀 수 없습니다. 디스크의 빈 공간을 확인해 주십시오.";
constexpr char kDeclinedText[] = "관리자 권한 요청이 거절되어 설치를 시작하지 않았습니다.";
constexpr char kCannotStartText[] = "설치 프로그램을 시작할 수 없습니다.";
constexpr char kNoMemoryText[] = "메모리가 부족합니다.";

constexpr char kProgressCaption[] = "설치 준비";
constexpr char kProgressText[] = "설치 파일을 푸는 중입니다. 잠시 기다려 주십시오.";

constexpr char kExitCodeText[] = " (종료 코드 ";  // the run log's line: text, code, ")"
