/*
 * Control identifiers, shared by the resource script and the code.
 * 1011 and 1017 serve several pages; each page has its own name for them.
 */
#ifndef TARNWICK_RESOURCE_H
#define TARNWICK_RESOURCE_H

#define IDC_STATIC              (-1)

/* Welcome */
#define IDC_WELCOME_EXIT        1011
#define IDC_WELCOME_NEXT        1012

/* Agreement */
#define IDC_AGREEMENT_EXIT      1011
#define IDC_AGREEMENT_PREV      1013
#define IDC_AGREEMENT_NEXT      1014
#define IDC_AGREEMENT_TEXT      1017

/* Pilot */
#define IDC_PILOT_NEXT          1024
#define IDC_PILOT_PREV          1025
#define IDC_PILOT_LIST          1034
#define IDC_PILOT_EXIT          1035

/* Confirm */
#define IDC_CONFIRM_EXIT        1011
#define IDC_CONFIRM_PREV        1017
#define IDC_CONFIRM_LAUNCH      1019

/* End */
#define IDC_END_EXIT            1011
#define IDC_END_NEXT            1021
#define IDC_END_PREV            1022

#endif
